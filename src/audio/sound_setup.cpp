#include "audio/sound_setup.h"

#include <algorithm>
#include <cstdio>

#include "audio/file_name.h"
#include "core/report_log.h"
#include "core/sound_request.h"

void BuildSoundInfoList(cSafeVector<DSSOUNDDATA>& sounds, cSafeVector<DSSOUNDINFO>& infos,
                        const std::vector<std::string>& systemSoundFiles,
                        const std::vector<std::string>& soundRecordFiles) {
  // A Sound.dat without records must still leave room for all 17 system sounds.
  const size_t count = std::max<size_t>(SYSTEM_SOUND_COUNT, soundRecordFiles.size() + 16);
  sounds.assign(count, DSSOUNDDATA{});
  infos.assign(count, DSSOUNDINFO{});
  for (size_t i = 0; i < count; ++i) {
    DSSOUNDINFO& info = infos[i];
    if (i < SYSTEM_SOUND_COUNT) {
      if (i < systemSoundFiles.size()) CopyFileName(info.szFile, systemSoundFiles[i].c_str());
    } else {
      CopyFileName(info.szFile, soundRecordFiles[i - 16].c_str());
    }
    info.nBufferCount = 1;
    info.nVolume = 0;
    info.nFlag = 1;
  }
}

void SetupSounds(HWND hWnd, const std::vector<std::string>& systemSoundFiles,
                 const std::vector<std::string>& soundRecordFiles, int nVolumeLevel) {
  BuildSoundInfoList(g_SoundList, g_SoundInfoList, systemSoundFiles, soundRecordFiles);
  if (!DS_Init(hWnd, 22050, 8, 1)) {
    WriteDebugLogMsg("DS_Init失敗！");
    WriteReportLog("DSInit Err");
  }
  const int level = std::clamp(nVolumeLevel, 0, SE_VOLUME_LEVEL_COUNT - 1);
  DS_LoadSounds(g_SoundList, g_SoundInfoList, SE_VOLUME_STEPS[level]);
}

void PlaySoundListEntry(int id) {
  // Before the list exists there is no element to fall back on: log the bad index, play nothing.
  if (g_SoundList.empty()) {
    ReportBadIndex('V', id, 0, static_cast<int>(sizeof(DSSOUNDDATA)));
    return;
  }
  DS_Play(&g_SoundList.At(id), 0);
}
