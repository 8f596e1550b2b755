// The sub-records of System.dat: status-line items, the ranking rule of a game mode and the keys
// of the System.ini table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/record.h"
#include "platform/win_types.h"

// One item of the status line: 0 total score, 1 stage score, 2 HP gauge, 3 SP gauge, 4 lives.
class cStatusItem : public cRecord {
 public:
  cStatusItem();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;

  // In file order.
  int32_t m_bShown = 0;
  int32_t m_bIcon = 0;  // 1: an icon stands before the value; 0: the label text
  std::string m_strLabel;
  int32_t m_nDigits = 0;      // room for the value, in 16-dot cells
  int32_t m_bGaugeValue = 0;  // gauges: the number is drawn over the bar too
  int32_t m_nLowLevel = 0;    // gauges: threshold of the low colour
  int32_t m_bLowPercent = 0;  // 0: m_nLowLevel is absolute; 1: a percentage of the maximum
};

// Whether a game mode keeps rankings, and which of the five ranking kinds it keeps.
class cRankingRule : public cRecord {
 public:
  static constexpr int KIND_COUNT = 5;

  cRankingRule();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  int32_t m_bEnabled = 0;
  // After the record body: one flag per ranking kind 0 to 4.
  cSafeVector<BYTE> m_Kinds;
};

// One key of the System.ini table: the settings are told apart by their key's position.
class cIniKey : public cRecord {
 public:
  static constexpr int32_t KIND_NUMBER = 0;
  static constexpr int32_t KIND_TEXT = 1;

  cIniKey();

  void Register(int nVersion) override;

  void SetNumber(const char* name, int32_t value);
  void SetText(const char* name, const char* text);
  static cIniKey MakeNumber(const char* name, int32_t value);
  static cIniKey MakeText(const char* name, const char* text);

  // In file order (the strings after the members).
  int32_t m_nKind = 0;
  int32_t m_nValue = 0;
  std::string m_strKey;
  std::string m_strText;
};
