// Character contacts that the block-map code asks about.
#pragma once

class cCharaBase;

// 1 when `obj` overlaps a block character of the character list.
int HitBlockChara(cCharaBase& obj);
