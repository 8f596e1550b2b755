// Where a project keeps its files: the relative paths of the data files, the file-name
// extensions, the folder tree made at start-up and the name tables that go with them. Every path
// is a Windows-style Shift-JIS path relative to the project folder (the current folder).
#pragma once

// Indexes into g_Paths of the entries the runtime opens.
constexpr int PATH_DATA = 0;
constexpr int PATH_DEFAULT = 1;
constexpr int PATH_COMMON_PALETTE = 8;
constexpr int PATH_WORLD_MAP = 14;
constexpr int PATH_DATABASE_FIRST = 16;  // ten database files, every second entry up to 34
constexpr int PATH_DATABASE_COUNT = 10;
constexpr int PATH_SYSTEM_DATA = 36;
constexpr int PATH_CHALLENGE_STAGE = 38;
constexpr int PATH_RANKING_STORY = 39;
constexpr int PATH_RANKING_CHALLENGE = 40;
constexpr int PATH_RANKING_FREE = 41;
constexpr int PATH_STORY_SLOT = 42;
constexpr int PATH_CHALLENGE_RECORD = 43;
constexpr int PATH_OPTION = 44;
constexpr int PATH_USER_DATA = 45;
constexpr int PATH_KEY_CONFIG = 46;
constexpr int PATH_BOOT = 47;
constexpr int PATH_WINDOW = 48;
constexpr int PATH_COUNT = 49;

// Entries 2 to 7, 9 to 13, 15, the default\ twins and 45 serve the editor, which shares the table.
extern const char* const g_Paths[PATH_COUNT];

constexpr int EXT_COMMON_PALETTE = 0;
constexpr int EXT_STAGE = 1;
constexpr int EXT_PALETTE = 2;
constexpr int EXT_RANKING = 3;
extern const char* const g_FileExts[4];

// The folders made at start-up, in order; the list ends with an empty entry.
constexpr int PROJECT_FOLDER_COUNT = 22;
extern const char* const g_ProjectFolders[PROJECT_FOLDER_COUNT + 1];

// System.dat's font face number indexes this table; entry 122 is empty.
constexpr int FONT_FACE_COUNT = 123;
constexpr int FONT_FACE_DEFAULT = 60;
extern const char* const g_FontFaces[FONT_FACE_COUNT];

// Display names of setting values; each table ends with an empty entry.
extern const char* const g_ColourModeNames[3];
extern const char* const g_DDColourDepthNames[4];
extern const char* const g_D3DColourDepthNames[3];
extern const char* const g_SpeedOrCompatNames[3];
extern const char* const g_ColourNames[11];
extern const char* const g_CharaVarNames[9];
extern const char* const g_CalcNames[8];
extern const char* const g_CompareNames[9];
extern const char* const g_CondOutcomeNames[3];

// Makes every folder of g_ProjectFolders that is missing (existing ones stay as they are).
// Returns the number of folders that could not be made.
int CreateProjectFolders();
