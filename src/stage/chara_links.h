// What the character links need of shots: a shot forgets a character it pointed at.
#pragma once

class cShot;

// kind 0: the shot's target pointer is cleared; kind 4: its shooter pointer.
void ClearShotLink(cShot* shot, int kind);
