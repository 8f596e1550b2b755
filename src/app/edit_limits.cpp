// The length rules of the edit controls: line wrapping, the line count limit and the Backspace
// join check.
#include <algorithm>

#include "app/dialog_ctrls.h"
#include "platform/text_codec.h"

namespace {

size_t CharLen(const std::string& s, size_t i) { return t4::platform::IsSjisPairAt(s, i) ? 2 : 1; }

// Length in characters (a line feed does not count) or in bytes.
size_t Measure(const std::string& s, bool bChars) {
  if (!bChars) return s.size();
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i))
    if (s[i] != '\n') ++n;
  return n;
}

size_t CountLines(const std::string& s) {
  return s.empty() ? 0 : static_cast<size_t>(std::count(s.begin(), s.end(), '\n')) + 1;
}

// Start of the last character of `s` (0 for an empty text).
size_t LastCharStart(const std::string& s) {
  size_t i = 0;
  size_t last = 0;
  while (i < s.size()) {
    last = i;
    i += CharLen(s, i);
  }
  return last;
}

}  // namespace

EDITSTATE CheckEditText(const EDITSTATE& now, const std::string& strPrev, const EDITLIMITS& limits, bool bBackspaceDown,
                        bool bInitialising, const std::string& strBound) {
  const bool bChars = limits.bCountChars != 0;
  const size_t maxLen = static_cast<size_t>(std::max(0, limits.nMaxLineLength));
  const size_t maxLines = static_cast<size_t>(std::max(0, limits.nMaxLines));
  EDITSTATE out = now;
  if (maxLen == 0 && maxLines == 0) return out;

  if (bBackspaceDown && now.nSelStart == now.nSelEnd && now.strText.size() + 2 == strPrev.size() &&
      CountLines(now.strText) < CountLines(strPrev)) {
    const std::string before = strPrev.substr(0, std::min(now.nSelEnd, strPrev.size()));
    const size_t nl = before.rfind('\n');
    const std::string part = nl == std::string::npos ? before : before.substr(nl);
    if (maxLen != 0 && Measure(part, bChars) >= maxLen) {
      out.strText = strPrev;
      return out;
    }
  }

  std::string& t = out.strText;
  if (maxLen != 0) {
    size_t lineStart = 0;
    for (size_t line = 0; line < maxLines && lineStart <= t.size(); ++line) {
      size_t lineEnd = t.find('\r', lineStart);
      if (lineEnd == std::string::npos) lineEnd = t.size();
      std::string content = t.substr(lineStart, lineEnd - lineStart);
      if (Measure(content, bChars) > maxLen) {
        for (int cuts = 0; cuts < 999999 && Measure(content, bChars) > maxLen; ++cuts)
          content.resize(LastCharStart(content));
        const size_t cut = lineStart + content.size();
        t.insert(cut, "\r\n");
        for (size_t* bound : {&out.nSelStart, &out.nSelEnd})
          if (*bound >= cut) *bound += 2;
        // The tail now starts the next line and takes the following line with it.
        const size_t tailEnd = lineEnd + 2;
        if (tailEnd < t.size() && t.compare(tailEnd, 2, "\r\n") == 0) {
          t.erase(tailEnd, 2);
          for (size_t* bound : {&out.nSelStart, &out.nSelEnd})
            if (*bound > tailEnd) *bound = std::max(tailEnd, *bound - 2);
        }
        lineEnd = cut;
      }
      if (lineEnd >= t.size()) break;
      lineStart = lineEnd + 2;
    }
  }

  if (maxLines != 0 && CountLines(t) > maxLines) {
    if (bInitialising) {
      t = strBound;
      for (int cuts = 0; cuts < 999999 && maxLen != 0 && Measure(t, bChars) > maxLen; ++cuts)
        t.resize(LastCharStart(t));
    } else {
      out.strText = strPrev;
      out.nSelStart = now.nSelStart;
      out.nSelEnd = now.nSelEnd;
    }
  }

  for (size_t* bound : {&out.nSelStart, &out.nSelEnd}) {
    if (*bound > t.size()) *bound = t.size();
    if (*bound < t.size() && t[*bound] == '\n' && *bound > 0 && t[*bound - 1] == '\r') *bound += 1;
  }
  return out;
}
