// Music back-ends that record every call cBgm makes, with scripted answers, so the manager's
// choices can be read as one ordered list of calls.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "audio/bgm.h"

namespace t4::test {

struct BgmScript {
  bool oggInitOk = true;
  bool ggsInitOk = false;
  std::set<std::string> oggFiles;   // files the Ogg player starts
  std::set<std::string> midiFiles;  // files the MIDI players start
  std::vector<std::string> calls;
  // Set when a call starts while another is still running: cBgm must serialise its back-ends.
  std::atomic<int> active{0};
  std::atomic<bool> overlapped{false};
  std::mutex callsMutex;

  void Record(std::string call) {
    if (active.fetch_add(1) != 0) overlapped = true;
    for (int i = 0; i < 50; ++i) std::this_thread::yield();  // widen the window a second caller would hit
    {
      std::lock_guard lock(callsMutex);
      calls.push_back(std::move(call));
    }
    active.fetch_sub(1);
  }
};

inline std::string Flag(bool b) { return b ? "1" : "0"; }

class RecordingOgg final : public cBgmOggBackend {
 public:
  explicit RecordingOgg(BgmScript& s) : m_s(s) {}
  bool Init() override {
    m_s.Record("ogg.Init");
    return m_s.oggInitOk;
  }
  bool SetChannels(int n) override {
    m_s.Record("ogg.SetChannels " + std::to_string(n));
    return true;
  }
  bool Play(int channel, const BGMOGGSLOT* slot, bool loop, int volume) override {
    m_s.Record("ogg.Play " + std::to_string(channel) + " " + slot->szFile + " " + Flag(loop) + " " +
               std::to_string(volume));
    return m_s.oggFiles.count(slot->szFile) != 0;
  }
  void Stop() override { m_s.Record("ogg.Stop"); }
  void Release() override { m_s.Record("ogg.Release"); }

 private:
  BgmScript& m_s;
};

class RecordingGgs final : public cBgmGgsBackend {
 public:
  explicit RecordingGgs(BgmScript& s) : m_s(s) {}
  bool Init(bool directMusic) override {
    m_s.Record("ggs.Init " + Flag(directMusic));
    return m_s.ggsInitOk;
  }
  bool Play(int id, const char* file, bool loop, int volume) override {
    m_s.Record("ggs.Play " + std::to_string(id) + " " + file + " " + Flag(loop) + " " + std::to_string(volume));
    return m_s.midiFiles.count(file) != 0;
  }
  void Stop(bool pause) override { m_s.Record("ggs.Stop " + Flag(pause)); }
  void Release() override { m_s.Record("ggs.Release"); }

 private:
  BgmScript& m_s;
};

class RecordingMidi final : public cBgmMidiBackend {
 public:
  explicit RecordingMidi(BgmScript& s) : m_s(s) {}
  void SetChannels(int n) override { m_s.Record("midi.SetChannels " + std::to_string(n)); }
  bool Play(int channel, const char* file, bool loop) override {
    m_s.Record("midi.Play " + std::to_string(channel) + " " + file + " " + Flag(loop));
    return m_s.midiFiles.count(file) != 0;
  }
  void StopAll(bool pause) override { m_s.Record("midi.StopAll " + Flag(pause)); }
  void Clear() override { m_s.Record("midi.Clear"); }

 private:
  BgmScript& m_s;
};

inline void InstallRecordingBackends(cBgm& bgm, BgmScript& script) {
  bgm.SetBackends(std::make_unique<RecordingOgg>(script), std::make_unique<RecordingGgs>(script),
                  std::make_unique<RecordingMidi>(script));
}

}  // namespace t4::test
