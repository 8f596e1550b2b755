// Character contacts that the block-map code asks about.
#pragma once

class cCharaBase;

// 1 when `obj` overlaps a live block character of the character list other than itself.
int HitBlockChara(const cCharaBase& obj);
