// The extension-name matcher both programs ask before they ask for swap control.
#include <gtest/gtest.h>

#include "scene/ExtensionList.h"

namespace orlinde {
namespace {

TEST(ExtensionListTest, MatchesWholeNamesOnly) {
  const char* list = "WGL_ARB_extensions_string WGL_EXT_swap_control_tear WGL_EXT_swap_control WGL_ARB_pbuffer";
  EXPECT_TRUE(HasExtension(list, "WGL_EXT_swap_control"));
  EXPECT_TRUE(HasExtension(list, "WGL_ARB_extensions_string"));
  EXPECT_TRUE(HasExtension(list, "WGL_ARB_pbuffer"));
  EXPECT_FALSE(HasExtension("WGL_EXT_swap_control_tear WGL_ARB_pbuffer", "WGL_EXT_swap_control"));
  EXPECT_FALSE(HasExtension("XWGL_EXT_swap_control", "WGL_EXT_swap_control"));
  EXPECT_FALSE(HasExtension("GLX_EXT_swap", "GLX_EXT_swap_control"));
  EXPECT_TRUE(HasExtension("  GLX_EXT_swap_control  ", "GLX_EXT_swap_control")) << "extra blanks";
  EXPECT_FALSE(HasExtension(nullptr, "GLX_EXT_swap_control"));
  EXPECT_FALSE(HasExtension("", "GLX_EXT_swap_control"));
  EXPECT_FALSE(HasExtension("GLX_EXT_swap_control", ""));
}

}  // namespace
}  // namespace orlinde
