// Parameters of a movement or warp command: direction or target point, offsets, angles, speed,
// distance, homing lag, animation choice and target slot.
#pragma once

#include <cstdint>
#include <cstdio>

#include <boost/shared_ptr.hpp>

#include "data/record.h"

// The 13 directions of movement records.
enum : int {
  DIR_FORWARD = 0,
  DIR_BACKWARD,
  DIR_LEFT,
  DIR_RIGHT,
  DIR_FORWARD_Y,
  DIR_BACKWARD_Y,
  DIR_UP,
  DIR_DOWN,
  DIR_UP_LEFT,
  DIR_DOWN_LEFT,
  DIR_UP_RIGHT,
  DIR_DOWN_RIGHT,
  DIR_INPUT
};

class cEdMove : public cRecord {
 public:
  cEdMove();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;

  // "Lock X" (no motion along X) is the "move along Y only" byte and "lock Y" the "move along X
  // only" byte.
  int8_t& LockX() { return m_cOnlyY; }
  int8_t& LockY() { return m_cOnlyX; }

  // In file order.
  int8_t m_cMode = 0;
  int8_t m_cDir = 0;
  int16_t m_sAngle = 0;
  int16_t m_sAnglePerClone = 0;
  int8_t m_cAngleMirror = 1;
  int8_t m_cUseX = 1;
  int8_t m_cUseY = 1;
  int16_t m_sTargetX = 0;
  int16_t m_sTargetY = 0;
  int16_t m_sTargetDotX = 0;
  int16_t m_sTargetDotY = 0;
  int8_t m_cCoordMode = 0;
  int8_t m_cUnit = 0;
  int8_t m_cYPoint = 0;
  int8_t m_cArrive = 1;
  int8_t m_cOnlyX = 0;
  int8_t m_cOnlyY = 0;
  int8_t m_cMirrorX = 1;
  int8_t m_cMirrorY = 0;
  int8_t m_cReverseOnTurn = 1;
  int8_t m_cStopOnArrival = 0;
  int8_t m_cKeepFacing = 0;
  int8_t m_cSolveMode = 0;
  int16_t m_sSpeed = 10;
  int16_t m_sSpeedPerClone = 0;
  int16_t m_sDistance = 0;
  int16_t m_sDistancePerClone = 0;
  int8_t m_cDistUnit = 0;
  int16_t m_sRadius = 0;
  int16_t m_sRadiusPerClone = 0;
  int8_t m_cInertia = 0;
  int16_t m_sMaxSpeed = 0;
  double m_dBrake = 1.0;
  int8_t m_cAnime = 0;
  int8_t m_cTargetSlot = 0;

 private:
  void SetDefaults();
};

// Replaces the pointer's contents with a new record with the defaults.
void MakeEdMove(boost::shared_ptr<cEdMove>& pMove);

// Direction index for a command's 10-value direction code (0 facing, 1 left, 2 right, 3 up,
// 4 down, 5 up-left, 6 down-left, 7 up-right, 8 down-right, 9 forward). `nReplayVersion` is the
// data version of a replay chosen on the title screen while it plays (0 otherwise): versions up to
// 777 decide as if bFromList were set, 778 and 779 as if it were clear.
int ConvertDirectionCode(int nCode, int bFromList, int bFacingRight, int nReplayVersion = 0);
