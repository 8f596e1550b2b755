// Editor parameter descriptor: a name and the range and default of one value.
#pragma once

#include <cstdint>
#include <string>

class cParamDesc {
 public:
  cParamDesc(const char* name, int16_t sMin, int16_t sMax, int32_t nDefault)
      : m_strName(name ? name : ""), m_sMin(sMin), m_sMax(sMax), m_nDefault(nDefault) {}

  std::string m_strName;  // empty: the value is not used
  int16_t m_sMin = 0;
  int16_t m_sMax = 0;
  int32_t m_nDefault = 0;
};
