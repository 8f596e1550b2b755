#include "replays/replay_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "app/main_window.h"
#include "core/globals.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "persist/replay.h"
#include "persist/system_data.h"
#include "platform/random.h"
#include "platform/window/input_devices.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/private_messages.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

namespace t4::test {

namespace fs = std::filesystem;

namespace {

constexpr const char* REPLAY_FOLDER = "user_data\\rpl4\\";
constexpr const char* REPLAY_EXTENSION = ".rpl4_902";
constexpr DWORD FRAME_MS = 16;

// What the file dialog answers next; empty: the player cancels.
std::string s_strDialogAnswer;

bool AnswerFileDialog(int, const std::string&, std::string& path) {
  if (s_strDialogAnswer.empty()) return false;
  path = s_strDialogAnswer;
  return true;
}

// The main window's own replay requests, with the file dialog answered from s_strDialogAnswer.
class MainWindowRequests {
 public:
  explicit MainWindowRequests(StageHarness& h) {
    SetRequestDialogs(&AnswerFileDialog, nullptr);
    h.OnFileRequest([](UINT msg, WPARAM wParam) { g_MainWindow.WindowProc(g_hWnd, msg, wParam, 0); });
  }
  ~MainWindowRequests() {
    SetRequestDialogs(nullptr, nullptr);
    s_strDialogAnswer.clear();
  }
  MainWindowRequests(const MainWindowRequests&) = delete;
  MainWindowRequests& operator=(const MainWindowRequests&) = delete;
};

int32_t FrameCount(const cReplay& replay) {
  return std::accumulate(replay.m_DirRuns.begin(), replay.m_DirRuns.end(), int32_t{0});
}

// A replay file saved by a play, with the samples of the play it holds.
struct Saved {
  std::string name;
  int32_t frames = 0;
  Samples samples;
};

// Runs frames and keeps the samples of each attempt: a new attempt starts with every set-up of
// the stage, as a new replay does.
class Recorder {
 public:
  explicit Recorder(StageHarness& h) : m_H(h) {}
  void Frame(int16_t dir, int16_t buttons) {
    m_Taker.Before(m_H);
    // Time goes on as in a real run, so that each attempt takes a seed of its own; nothing else of
    // the play may depend on it.
    m_H.Clock().Advance(FRAME_MS);
    m_H.Frame(dir, buttons);
    if (auto s = m_Taker.After(m_H)) m_Attempts.back().push_back(*s);
    if (m_Taker.NewAttempt()) m_Attempts.emplace_back();
  }
  size_t Attempts() const { return m_Attempts.size(); }
  const Samples& Attempt(bool previous) const { return m_Attempts[m_Attempts.size() - (previous ? 2 : 1)]; }
  void Keep(Saved saved) { m_Saved.push_back(std::move(saved)); }
  std::vector<Saved> TakeSaved() { return std::move(m_Saved); }

 private:
  StageHarness& m_H;
  SampleTaker m_Taker;
  std::vector<Samples> m_Attempts{1};
  std::vector<Saved> m_Saved;
};

std::string RunStep(const Step& step, StageHarness& h, Recorder& rec, const fs::path& dir) {
  switch (step.kind) {
    case Step::HOLD: {
      // A death the play does not ask for would leave a replay of another play than the one written.
      const size_t attempts = rec.Attempts();
      for (int i = 0; i < step.frames; ++i) rec.Frame(step.dir, step.buttons);
      if (rec.Attempts() != attempts) return "the hero died and the stage started again";
      return "";
    }
    case Step::UNTIL_RETRY: {
      const size_t attempts = rec.Attempts();
      for (int i = 0; i < step.frames && rec.Attempts() == attempts; ++i) rec.Frame(step.dir, step.buttons);
      if (rec.Attempts() == attempts)
        return "the hero did not die and start again within " + std::to_string(step.frames) + " frames";
      return "";
    }
    case Step::UNTIL_CLEAR: {
      const size_t attempts = rec.Attempts();
      for (int i = 0; i < step.frames && h.State() != PLAY_STAGE_END && rec.Attempts() == attempts; ++i)
        rec.Frame(step.dir, step.buttons);
      if (rec.Attempts() != attempts) return "the hero died and the stage started again";
      if (h.State() != PLAY_STAGE_END)
        return "the stage was not cleared within " + std::to_string(step.frames) + " frames";
      return "";
    }
    case Step::PAUSE: {
      h.SetKey(VK_SPACE, true);
      rec.Frame(0, 0);
      h.SetKey(VK_SPACE, false);
      if (h.State() != PLAY_PAUSE) return "the pause key did not open the pause menu";
      // Down and up again: the cursor moves and ends on the item it started on.
      for (int i = 0; i < step.frames; ++i) rec.Frame(i % 8 == 0 ? 8 : i % 8 == 4 ? 4 : 0, 0);
      rec.Frame(0, 2);
      if (h.State() != PLAY_PLAY) return "button 2 did not close the pause menu";
      return "";
    }
    case Step::SAVE: {
      // The keys are read in play only: a stage that is starting again gets there first.
      for (int i = 0; i < 400 && (h.State() == PLAY_FADE_IN || h.State() == PLAY_START); ++i) rec.Frame(0, 0);
      const cReplay& replay = step.previous ? g_ReplayLast : g_Replay;
      const int32_t frames = FrameCount(replay);
      const std::string file = ReplayFileName(step.file);
      s_strDialogAnswer = REPLAY_FOLDER + file;
      g_bFileRequestOk = 0;
      const int vk = step.previous ? VK_F1 + 1 : VK_F1;
      h.SetKey(vk, true);
      rec.Frame(0, 0);
      h.SetKey(vk, false);
      s_strDialogAnswer.clear();
      if (!g_bFileRequestOk) return "the replay " + file + " was not saved";
      std::error_code ec;
      fs::copy_file(h.ProjectDir() / "user_data" / "rpl4" / file, dir / file, fs::copy_options::overwrite_existing, ec);
      if (ec) return "cannot copy " + file + ": " + ec.message();
      Saved saved{step.file, frames, {}};
      for (const Sample& s : rec.Attempt(step.previous))
        if (s.frame <= frames) saved.samples.push_back(s);
      rec.Keep(std::move(saved));
      return "";
    }
  }
  return "unknown step";
}

}  // namespace

std::string ReplayFileName(const std::string& name) { return name + REPLAY_EXTENSION; }
std::string GoldenFileName(const std::string& name) { return name + ".golden"; }

namespace {

std::string RecordSteps(const Play& play, const fs::path& dir, std::vector<Saved>& saved) {
  StageHarness h(play.clock);
  MainWindowRequests requests(h);
  if (!UseProjectPalette()) return "cannot set the demo's palette up";
  if (play.pauseKey) g_SystemData.m_bSpacePause = 1;
  fs::create_directories(h.ProjectDir() / "user_data" / "rpl4");
  if (!h.StartFile(play.stage)) return "cannot load " + play.stage;
  if (play.patch) {
    play.patch(g_Stage);
    const int player = g_Stage.FindPlayerPlacement();
    if (player >= 0) g_PlayerCharaDef = g_Stage.m_CharaPlaces.At(player);
  }
  Recorder rec(h);
  // The stage is set up by its first frame and fades in; the steps start with the play.
  for (int i = 0; i < 400 && h.State() != PLAY_PLAY; ++i) rec.Frame(0, 0);
  if (h.State() != PLAY_PLAY) return "the stage did not start";
  const bool trace = std::getenv("T4_REPLAY_TRACE") != nullptr;
  for (size_t i = 0; i < play.steps.size(); ++i) {
    const std::string error = RunStep(play.steps[i], h, rec, dir);
    if (!error.empty()) return play.name + ", step " + std::to_string(i + 1) + ": " + error;
    if (trace) {
      const cHero& hero = h.Hero();
      std::printf("%s step %zu: frame %d, hero at tile %.2f, %.2f%s, random state %08x\n", play.name.c_str(), i + 1,
                  h.Scene().m_nPlayFrame, hero.m_dX / 32 - 10, hero.m_dY / 32 - 10, hero.m_bDead ? ", dead" : "",
                  static_cast<unsigned>(platform::GetRandState()));
      for (const cChara& c : g_CharaList)
        std::printf("  character %d at tile %.2f, %.2f, HP %d%s\n", c.m_nId, c.m_dX / 32 - 10, c.m_dY / 32 - 10,
                    c.m_nHp, c.m_bDead ? ", dead" : "");
    }
  }
  saved = rec.TakeSaved();
  return "";
}

}  // namespace

std::string RecordPlay(const Play& play, const fs::path& dir) {
  std::vector<Saved> saved;
  const std::string error = RecordSteps(play, dir, saved);
  if (!error.empty()) return error;
  // The golden samples are those of the playback: its pictures are the ones a viewer of the replay
  // sees (with the replay's caption before the play). Its states must be the recorded play's.
  for (const Saved& s : saved) {
    const std::string file = ReplayFileName(s.name);
    Playback pb = PlayBack(dir / file, 1);
    if (!pb.error.empty()) return play.name + ": " + pb.error;
    const Samples& played = pb.passes.front();
    for (size_t i = 0; i < std::max(played.size(), s.samples.size()); ++i) {
      if (i >= played.size() || i >= s.samples.size() || played[i].frame != s.samples[i].frame ||
          played[i].state != s.samples[i].state)
        return play.name + ": the playback of " + file + " leaves the recorded play at its frame " +
               std::to_string(i < s.samples.size() ? s.samples[i].frame : played[i].frame);
    }
    const std::string heading =
        file + ": " + std::to_string(s.frames) + " frames of " + play.stage + ", recorded by the play " + play.name;
    if (!WriteSamples(dir / GoldenFileName(s.name), heading, played)) return "cannot write the samples of " + file;
  }
  return "";
}

Playback PlayBack(const fs::path& replayFile, int passes, size_t laterFrames) {
  Playback out;
  StageHarness h;
  MainWindowRequests requests(h);
  if (!UseProjectPalette()) {
    out.error = "cannot set the demo's palette up";
    return out;
  }
  const fs::path folder = h.ProjectDir() / "user_data" / "rpl4";
  fs::create_directories(folder);
  std::error_code ec;
  fs::copy_file(replayFile, folder / replayFile.filename(), ec);
  if (ec) {
    out.error = "cannot copy " + replayFile.string() + ": " + ec.message();
    return out;
  }
  s_strDialogAnswer = REPLAY_FOLDER + replayFile.filename().string();
  if (!OpenReplayDialog()) {
    out.error = "the replay " + replayFile.string() + " was not loaded";
    return out;
  }
  const int32_t frames = FrameCount(g_Replay);
  h.StartPlayback();
  SampleTaker taker;
  Samples pass;
  // Room for each pass's captions and fades besides its frames.
  const int64_t limit = (int64_t{frames} + 600) * passes;
  for (int64_t i = 0; i < limit && static_cast<int>(out.passes.size()) < passes; ++i) {
    taker.Before(h);
    h.Clock().Advance(FRAME_MS);
    h.Frame();
    if (auto s = taker.After(h)) pass.push_back(*s);
    const bool ended = h.State() == PLAY_STAGE_END;
    const bool enough = !out.passes.empty() && pass.size() >= laterFrames;
    if ((taker.NewAttempt() || ended || enough) && !pass.empty()) {
      out.passes.push_back(std::move(pass));
      pass.clear();
    }
    if (ended) break;
  }
  if (out.passes.empty()) out.error = "the replay " + replayFile.string() + " did not play";
  return out;
}

}  // namespace t4::test
