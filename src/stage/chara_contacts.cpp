#include "stage/chara_contacts.h"

int HitBlockChara(cCharaBase&) { return 0; }
