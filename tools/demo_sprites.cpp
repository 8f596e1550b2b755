// The demo's sprites as text drawings, 16 x 16 characters each (see demo_canvas.h for the
// colour letters).
#include "demo_canvas.h"

namespace demo {

// clang-format off
const Drawing HERO = {
    ".....kkkkkk.....", "....krrrrrrk....", "...krrrrrrrrk...", "...kkkssssskk...",
    "...ksskssksk....", "...kssssssk.....", "....kssssk......", "...kbbbbbbk.....",
    "..kbbbbbbbbk....", "..ksbbbbbbsk....", "..kkbbbbbbkk....", "...kBBkkBBk.....",
    "...kBBk.kBBk....", "..knnnk.knnnk...", "..kkkk...kkkk...", "................"};
const Drawing SLIME = {
    "................", "................", "................", "................",
    "................", "......kkkk......", "....kkggggkk....", "...kggggggggk...",
    "..kggwkggwkgggk.", "..kggkkggkkgggk.", ".kggggggggggggk.", ".kgggGGGGGGgggk.",
    ".kggGGGGGGGGggk.", ".kGGGGGGGGGGGGk.", "..kkkkkkkkkkkk..", "................"};
const Drawing BIRD = {
    "................", "................", "..kk........kk..", ".kppk......kppk.",
    ".kpppk.kk.kpppk.", "..kpppkppkpppk..", "...kpppppppk....", "....kpwkpppk....",
    "....kpkkpppYYk..", "....kppppppk....", ".....kPPPPk.....", "......kPPk......",
    ".......kk.......", "................", "................", "................"};
const Drawing KNIGHT = {
    "......kkkk......", ".....kaaaak.....", "....kaaaaaak....", "....kakkkkak....",
    "....kawkwkak....", "....kaaaaaak....", ".....kaaaak.....", "...kkRRRRRRkk...",
    "..kaaRRRRRRaak..", "..kaakRRRRkaak..", "..kk.kRRRRk.kk..", ".....kaakaak....",
    ".....kaakaak....", ".....kaakaak....", "....kkkk.kkkk...", "................"};
const Drawing COIN = {
    "................", "................", "................", ".....kkkkkk.....",
    "....kyyyyyyk....", "...kyyYYYYyyk...", "...kyYyyyyYyk...", "...kyYyyyyYyk...",
    "...kyYyyyyYyk...", "...kyYyyyyYyk...", "...kyyYYYYyyk...", "....kyyyyyyk....",
    ".....kkkkkk.....", "................", "................", "................"};
const Drawing HEART = {
    "................", "................", "................", "...kkk...kkk....",
    "..krrrk.krrrk...", ".krwrrrkrrrrrk..", ".krrrrrrrrrrrk..", ".krrrrrrrrrrrk..",
    "..krrrrrrrrrk...", "...krrrrrrrk....", "....krrrrrk.....", ".....krrrk......",
    "......krk.......", ".......k........", "................", "................"};
const Drawing STAR = {
    ".......kk.......", ".......ky.......", "......kyyk......", "......kyyk......",
    "kkkkkkkyykkkkkk.", "kyyyyyyyyyyyyyk.", ".kyyyyyyyyyyyk..", "..kyyykyykyyk...",
    "...kyyyyyyyyk...", "...kyyyyyyyyk...", "..kyyyyyyyyyyk..", "..kyyyykkyyyyk..",
    ".kyyyk....kyyyk.", ".kyyk......kyyk.", "kkk..........kkk", "................"};

const Drawing LIFT = {
    "kkkkkkkkkkkkkkkk", "kYYYYYYYYYYYYYYk", "knnnnnnnnnnnnnnk", "kkkkkkkkkkkkkkkk",
    "..kak......kak..", "...k........k...", "................", "................",
    "................", "................", "................", "................",
    "................", "................", "................", "................"};
const Drawing BOSS = {
    "..k..kkkkkk..k..", "..kk.kyyyyk.kk..", "...kkkyyyykkk...", "...kPPPPPPPPk...",
    "..kPPwkPPkwPPk..", "..kPPkkPPkkPPk..", "..kPPPPPPPPPPk..", "...kPPrrrrPPk...",
    ".kkPPPPPPPPPPkk.", "kppkPPPPPPPPkppk", "kppkPPPPPPPPkppk", "kkkkPPPPPPPPkkkk",
    "...kPPPkkPPPk...", "...kPPk..kPPk...", "..kkkkk..kkkkk..", "................"};
const Drawing SIGN = {
    "................", "................", ".kkkkkkkkkkkkkk.", ".kooooooooooook.",
    ".kokkkkkokkkkok.", ".kooooooooooook.", ".kokkkkkkkkkook.", ".kooooooooooook.",
    ".kkkkkkkkkkkkkk.", "......knnk......", "......knnk......", "......knnk......",
    "......knnk......", "......knnk......", ".....kkkkkk.....", "................"};
const Drawing HOPPER = {
    "................", "................", "................", "................",
    "................", "...kkk....kkk...", "..kwkgk..kgkwk..", "..kkkggkkggkkk..",
    "...kggggggggk...", "..kggggggggggk..", ".kggGyyyyyyGggk.", ".kgGyyyyyyyyGgk.",
    "kggkyyyyyyyykggk", "kgk.kkkkkkkk.kgk", "kk............kk", "................"};
// clang-format on

}  // namespace demo
