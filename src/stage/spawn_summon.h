// What the block summon needs of the flow runner.
#pragma once

class cMapCell;

// Whether a map cell's conditions hold now (latching); the conditions code supplies the real test,
// until then every cell's conditions hold.
int SummonCellCondHolds(cMapCell& cell);
