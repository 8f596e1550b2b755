// What the block summon needs of the condition code.
#pragma once

class cMapCell;

// Whether a map cell's conditions hold now, judged for the main hero: a cell without conditions
// holds, and a cell whose latched list once held keeps holding (the cell's extra byte keeps that).
int SummonCellCondHolds(cMapCell& cell);
