// Contacts between objects of different factions and with block characters.
#include "stage/chara_base.h"
#include "stage/scene_play.h"

int cScenePlay::CheckContacts() { return PASS_GO_ON; }

int cScenePlay::HeroTouchItems() { return PASS_GO_ON; }

int cScenePlay::CollideBlockCharas(cCharaBase&) { return PASS_GO_ON; }

void cScenePlay::RideBlockChara(cCharaBase&) {}
