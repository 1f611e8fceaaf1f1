// Fonts for the button's caption and the dialog's texts: a whole font description made into a GDI font
// for a given display, and the choice of an installed face when the one asked for is missing.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "host/button/CommandProperties.h"
#include "host/forms/GdiWin32.h"

namespace orlinde {

// True when a font family of that name is installed (for the given character set, or any).
bool FaceInstalled(const std::wstring& face, int charset = DEFAULT_CHARSET);

// `wanted` when it is installed; otherwise the first installed face of `substitutes`; otherwise `wanted`
// again, so that the system's font mapper picks a face of the right character set.
std::wstring InstalledFaceOr(const std::wstring& wanted, std::initializer_list<const wchar_t*> substitutes,
                             int charset = DEFAULT_CHARSET);

// The face to use for a face name of this program's texts: the Japanese proportional gothic faces and
// "Times New Roman" get their usual look-alikes where they are missing; any other name is kept.
std::wstring UsableFace(const std::wstring& wanted, int charset);

// A GDI font for `font` on a display of `dpi` dots per inch (the size is in hundredths of a point).
forms::FontObject CreateFontFrom(const button::FontDesc& font, int dpi);

}  // namespace orlinde
