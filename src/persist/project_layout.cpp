#include "persist/project_layout.h"

#include "platform/files.h"

const char* const g_Paths[PATH_COUNT] = {
    "data\\",
    "default\\",
    "data\\stg4\\old_ver\\",
    "data\\work\\",
    "e_data\\SheetSize.dat",
    "e_data\\EditConfig.dat",
    "data\\PrjOption.dat",
    "default\\PrjOption.dat",
    "data\\CommonPalette.cplt4",
    "default\\CommonPalette.cplt4",
    "data\\GValInfo.dat",
    "default\\GValInfo.dat",
    "data\\stg4\\Default.stg4_***",
    "default\\stg4\\Default.stg4_***",
    "data\\WorldMap.dat",
    "default\\WorldMap.dat",
    "data\\database\\AnimeSet.dat",
    "default\\database\\AnimeSet.dat",
    "data\\database\\Anime.dat",
    "default\\database\\Anime.dat",
    "data\\database\\Bmp_CharaExc.dat",
    "default\\database\\Bmp_CharaExc.dat",
    "data\\database\\SwordType.dat",
    "default\\database\\SwordType.dat",
    "data\\database\\Effect.dat",
    "default\\database\\Effect.dat",
    "data\\database\\CharaEffect.dat",
    "default\\database\\CharaEffect.dat",
    "data\\database\\ScrEffect.dat",
    "default\\database\\ScrEffect.dat",
    "data\\database\\Picture.dat",
    "default\\database\\Picture.dat",
    "data\\database\\Sound.dat",
    "default\\database\\Sound.dat",
    "data\\database\\Bgm.dat",
    "default\\database\\Bgm.dat",
    "data\\System.dat",
    "default\\System.dat",
    "data\\stg4\\c",
    "user_data\\story\\",
    "user_data\\challenge\\",
    "user_data\\free\\",
    "user_data\\story\\Story",
    "user_data\\challenge\\Challenge.dat",
    "user_data\\Option.dat",
    "user_data\\",
    "user_data\\KeyConfig.dat",
    "user_data\\Boot.dat",
    "user_data\\Window.dat",
};

const char* const g_FileExts[4] = {"cplt4", "stg4", "plt4", "rkg"};

const char* const g_ProjectFolders[PROJECT_FOLDER_COUNT + 1] = {
    "user_data", "user_data\\story", "user_data\\challenge", "user_data\\free", "user_data\\rpl4",
    "data", "data\\database", "data\\stg4", "data\\stg4\\old_ver", "data\\work", "data\\plt4",
    "bmp", "bmp\\back", "bmp\\chara_sp", "bmp\\effect", "bmp\\picture", "bmp\\sword", "bmp\\convert",
    "bmp\\plt", "bmp\\hbt", "wave", "bgm", "",
};

const char* const g_FontFaces[FONT_FACE_COUNT] = {
    "System", "Terminal", "FixedSys", "Roman", "Script", "Modern", "Small Fonts", "MS Serif", "WST_Czec",
    "WST_Engl", "WST_Fren", "WST_Germ", "WST_Ital", "WST_Span", "WST_Swed", "Courier", "MS Sans Serif",
    "Marlett", "Arial", "Arial CE", "Arial CYR", "Arial Greek", "Arial TUR", "Arial Baltic", "Courier New",
    "Courier New CE", "Courier New CYR", "Courier New Greek", "Courier New TUR", "Courier New Baltic",
    "Lucida Console", "Lucida Sans Unicode", "Times New Roman", "Times New Roman CE", "Times New Roman CYR",
    "Times New Roman Greek", "Times New Roman TUR", "Times New Roman Baltic", "Wingdings", "Symbol", "Verdana",
    "Arial Black", "Comic Sans MS", "Impact", "Georgia", "Franklin Gothic Medium", "Palatino Linotype", "Tahoma",
    "Trebuchet MS", "Webdings", "Estrangelo Edessa", "Gautami", "Latha", "Mangal", "MV Boli", "Raavi", "Shruti",
    "Tunga", "Sylfaen", "ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS UI Gothic", "ＭＳ 明朝", "ＭＳ Ｐ明朝",
    "Microsoft Sans Serif", "Gulim", "GulimChe", "Dotum", "DotumChe", "Batang", "BatangChe", "Gungsuh",
    "GungsuhChe", "SimSun", "NSimSun", "SimSun-PUA", "SimHei", "MingLiU", "PMingLiU", "Arial Narrow",
    "Book Antiqua", "Bookman Old Style", "Century", "Century Gothic", "Garamond", "MS Outlook", "HGｺﾞｼｯｸE",
    "HGPｺﾞｼｯｸE", "HGSｺﾞｼｯｸE", "HG丸ｺﾞｼｯｸM-PRO", "HG創英角ｺﾞｼｯｸUB", "HGP創英角ｺﾞｼｯｸUB", "HGS創英角ｺﾞｼｯｸUB",
    "HG創英角ﾎﾟｯﾌﾟ体", "HGP創英角ﾎﾟｯﾌﾟ体", "HGS創英角ﾎﾟｯﾌﾟ体", "HG正楷書体-PRO", "InMusicSym", "Kartika", "Vrinda",
    "メイリオ", "MT Extra", "HGｺﾞｼｯｸM", "HGPｺﾞｼｯｸM", "HGSｺﾞｼｯｸM", "HG行書体", "HGP行書体", "HGS行書体",
    "HG教科書体", "HGP教科書体", "HGS教科書体", "HG明朝B", "HGP明朝B", "HGS明朝B", "HG明朝E", "HGP明朝E",
    "HGS明朝E", "HG創英ﾌﾟﾚｾﾞﾝｽEB", "HGP創英ﾌﾟﾚｾﾞﾝｽEB", "HGS創英ﾌﾟﾚｾﾞﾝｽEB", "OCRB", "Sydnie", "",
};

const char* const g_ColourModeNames[3] = {"256色(8bit) カラーパレットあり", "1677万色(24bit) カラーパレットなし", ""};
const char* const g_DDColourDepthNames[4] = {"32bit(1677万色)", "16bit(32768色)", "8bit(256色)", ""};
const char* const g_D3DColourDepthNames[3] = {"32bit(1677万色)", "16bit(32768色)", ""};
const char* const g_SpeedOrCompatNames[3] = {"速度重視", "互換性重視", ""};
const char* const g_ColourNames[11] = {"なし", "白", "黒", "赤", "緑", "青", "黄", "赤紫", "青紫", "4色", ""};
const char* const g_CharaVarNames[9] = {"1 キャラ変数-1", "2 キャラ変数-2", "3 キャラ変数-3", "4 キャラ変数-4",
                                        "5 キャラ変数-5", "6 キャラ変数-6", "7 キャラ変数-7", "8 キャラ変数-8", ""};
const char* const g_CalcNames[8] = {"＝", "＋", "－", "×", "÷", "÷ X の余り", "X ％", ""};
const char* const g_CompareNames[9] = {"である", "でない", "以上", "以下", "より上", "より下",
                                       "の倍数である", "の倍数でない", ""};
const char* const g_CondOutcomeNames[3] = {"なら", "でないなら", ""};

int CreateProjectFolders() {
  int nFailed = 0;
  for (int i = 0; *g_ProjectFolders[i]; ++i) {
    if (t4::platform::IsDirectory(g_ProjectFolders[i])) continue;
    if (!t4::platform::CreateDirectory(g_ProjectFolders[i])) ++nFailed;
  }
  return nFailed;
}
