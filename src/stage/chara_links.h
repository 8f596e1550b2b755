// What the character links need of shots: a shot forgets a character it pointed at.
#pragma once

class cShot;

// Link kinds of a character's shot links: the shot aims at the character / the character shot it.
constexpr int SHOTLINK_TARGET = 0;
constexpr int SHOTLINK_SHOOTER = 4;

// kind 0: the shot's target pointer is cleared; kind 4: its shooter pointer.
void ClearShotLink(cShot* shot, int kind);
