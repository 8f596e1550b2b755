// Firing of the shot command and the three summons: the fire record is filled for each volley,
// a formation places every object, and each object is created by the command's kind.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "stage/shot.h"

class cCharaBase;
class cEdShot;
class cFlowCommand;

// 1 / sqrt(2).
extern const double FIRE_K;

// Direction codes after resolving: 2 left, 3 right, 6 up, 7 down, 8 up-left, 9 down-left,
// 10 up-right, 11 down-right.
int ResolveFireDirection(int dir, int facingRight);
double DirectionAngle(int dir);
int DirectionAngleInt(int dir);
// The direction held when the running flow started, for the direction "input" (0 none, 1..8).
int FireInputDirection();

// Offsets of clone `clone`, mirrored when facing right and the record's mirroring flag is set.
double ShotOffsetX(const cEdShot& p, int clone, int facingRight);
double ShotOffsetY(const cEdShot& p, int clone, int facingRight);

void FireShot(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p);
void SummonChara(cCharaBase& summoner, const cFlowCommand& cmd, cEdShot& p);
void SummonItem(cCharaBase& summoner, const cFlowCommand& cmd, cEdShot& p);
void SummonBlock(cCharaBase& summoner, const cFlowCommand& cmd, cEdShot& p);

// The six formations.
void FormationStraightA(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f);
void FormationStraightB(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f);
void FormationSpread(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p, FIREPARAM& f);
void FormationLightning(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f);
void FormationExplosion(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p,
                        FIREPARAM& f);
void FormationSurround(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p, FIREPARAM& f);

// Placements: the first position (base), the step between objects and their velocity.
void PlaceMuzzle(FIREPARAM& f, cEdShot& p, cCharaBase& shooter);
void PlaceMuzzleAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter);
void PlaceLineA(FIREPARAM& f, cEdShot& p, cCharaBase& shooter);
void PlaceLineAAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter);
void PlaceLineB(FIREPARAM& f, cEdShot& p, cCharaBase& shooter);
void PlaceLineBAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter);
void PlaceCentre(FIREPARAM& f, cEdShot& p, cCharaBase& shooter);
void PlaceLightning(FIREPARAM& f, cEdShot& p, cCharaBase& shooter, const cCharaBase& target);
void PlaceLightningAngled(FIREPARAM& f, cEdShot& p, cCharaBase& shooter, const cCharaBase& target);
void RotateAroundShooter(FIREPARAM& f, const cCharaBase& shooter, double angle);
// Whole degrees toward the target of the record's formation target slot; the predictive aim also
// sets the fire record's speed.
int AimAngleAtTarget(double x, double y, cCharaBase& shooter, cEdShot& p, FIREPARAM& f);
// The formation target (lightning, surround): the target slot's character, hero 0 or the
// shooter; null when there is none.
cCharaBase* FormationTarget(cCharaBase& shooter, const cEdShot& p);

// Creates one object at the record's x, y by the command's kind.
void SpawnAtFormation(cSafeList<cShot>& shots, FIREPARAM& f, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p);

// The character definition of a summon record, or null when the record names none that may be
// summoned (palette kind 0 common, 1 stage; an index outside the list; a player definition).
class cCharaDef;
class cItemDef;
class cBlock;
cCharaDef* SummonCharaDef(const cEdShot& p);
cItemDef* SummonItemDef(const cEdShot& p);
cBlock* SummonBlockDef(const cEdShot& p);
