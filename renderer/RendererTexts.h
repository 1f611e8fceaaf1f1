// Every text the renderer shows or registers, in one place.
#pragma once

namespace orlinde::renderer::texts {

inline constexpr char kWindowClass[] = "OpenGL";
// The class of the windows on the other monitors (no title, never shown in a list of windows).
inline constexpr char kMonitorWindowClass[] = "OrlindeMonitor";
inline constexpr char kErrorCaption[] = "Error";

inline constexpr char kRegisterClassFailed[] = "Failed to register the window class!";
inline constexpr char kCreateWindowFailed[] = "Unable to create window!";
inline constexpr char kGetDcFailed[] = "Unable to get a device context!";
inline constexpr char kChoosePixelFormatFailed[] = "Unable to find a suitable pixel format";
inline constexpr char kSetPixelFormatFailed[] = "Unable to set the pixel format";
inline constexpr char kCreateContextFailed[] = "Unable to create an OpenGL rendering context";
inline constexpr char kMakeCurrentFailed[] = "Unable to activate OpenGL rendering context";

inline constexpr char kReleaseDcRcFailed[] = "Release of DC and RC failed!";
inline constexpr char kDeleteContextFailed[] = "Release of rendering context failed!";
inline constexpr char kReleaseDcFailed[] = "Release of device context failed!";
inline constexpr char kDestroyWindowFailed[] = "Unable to destroy window!";
inline constexpr char kUnregisterClassFailed[] = "Unable to unregister window class!";

}  // namespace orlinde::renderer::texts
