#pragma once
namespace orlinde { enum class MonitorMode { kEach, kPrimary, kSpan }; }
