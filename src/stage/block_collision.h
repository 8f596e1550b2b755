// Collision of objects with the stage's block map after each move along one axis: which block an
// edge meets, how each side reacts (snap, blocked flags, triggers, landing, ceiling, death), the
// hero held inside an auto-scrolling view, the floor effects and items of the block the hero
// stands on, and the overlap test used when placing objects.
#pragma once

class cStageObject;
class cCharaBase;
class cHero;

// Cell index of the strongest tile on a vertical (x1 = x2) or horizontal (y1 = y2) line; 0 for
// any other line.
int PickLineBlock(const cCharaBase& obj, int x1, int y1, int x2, int y2);
// Cell index of the strongest tile under the bottom edge, preferring the middle.
int PickFootBlock(const cCharaBase& obj);
// Cell index of the strongest of the four corner tiles.
int PickCornerBlock(int left, int top, int right, int bottom, int layer);
// Cell index of a grid tile (column, row).
int CellIndex(int column, int row);
// Hit kind of grid cell `index` for `layer`.
int CellHit(int index, int layer);

// Each returns 0, or 2 when the object must die or be destroyed.
int CollideMapX(cCharaBase& obj);
int CollideMapXBoth(cCharaBase& obj);
int CollideLeft(cCharaBase& obj);
int CollideRight(cCharaBase& obj);
int CollideMapY(cCharaBase& obj);
int CollideMapYBoth(cCharaBase& obj);
int CollideTop(cCharaBase& obj);
int CollideBottom(cCharaBase& obj);

void PushByScreenX(cHero& hero);
int PushByScreenY(cHero& hero);
// 1 when the object overlaps a solid block or a block character.
int HitBlock(cCharaBase& obj);

// 0 go on, 1 the stage ends, 2 the hero died (from an item hand-over).
int ApplyFloorEffect(cHero& hero);
int TakeBlockItem(cHero& hero);
void StickToFloor(cHero& hero);
