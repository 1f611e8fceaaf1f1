#include "host/button/FontWin32.h"

#include "common/CodePageWin32.h"

namespace orlinde {

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

}  // namespace

bool FaceInstalled(const std::wstring& face, int charset) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW query{};
  query.lfCharSet = static_cast<BYTE>(charset);
  face.copy(query.lfFaceName, face.size());
  bool found = false;
  const forms::WindowDc screen;
  EnumFontFamiliesExW(screen.Get(), &query, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

std::wstring InstalledFaceOr(const std::wstring& wanted, std::initializer_list<const wchar_t*> substitutes,
                             int charset) {
  if (FaceInstalled(wanted, charset)) return wanted;
  for (const wchar_t* face : substitutes) {
    if (FaceInstalled(face, charset)) return face;
  }
  return wanted;
}

std::wstring UsableFace(const std::wstring& wanted, int charset) {
  // "ＭＳ Ｐゴシック" and its look-alikes: a proportional gothic face with Japanese characters.
  if (wanted == L"ＭＳ Ｐゴシック" || wanted == L"MS PGothic") {
    return InstalledFaceOr(wanted,
                           {L"MS PGothic", L"ＭＳ Ｐゴシック", L"Meiryo UI", L"Yu Gothic UI", L"IPAPGothic",
                            L"IPA Pゴシック", L"VL PGothic", L"Noto Sans CJK JP", L"IPAGothic"},
                           charset);
  }
  if (wanted == L"Times New Roman") {
    return InstalledFaceOr(wanted, {L"Liberation Serif", L"Tinos", L"DejaVu Serif"}, charset);
  }
  return wanted;
}

forms::FontObject CreateFontFrom(const button::FontDesc& font, int dpi) {
  forms::FontSpec spec;
  spec.face = UsableFace(FromUtf8(font.faceName), font.charset);
  spec.pixelHeight = MulDiv(font.sizeCentipoints, dpi, 7200);
  spec.weight = font.weight;
  spec.italic = font.italic;
  spec.underline = font.underline;
  spec.strikeout = font.strikethrough;
  spec.charset = static_cast<BYTE>(font.charset);
  return forms::MakeFont(spec);
}

}  // namespace orlinde
