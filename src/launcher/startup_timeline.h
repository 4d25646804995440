// Start-up milestones of the launcher, for bench/report's timeline.
//
// Off unless the environment variable TARSEL_STARTUP_TIMELINE names a file
// when the program starts (read once, before the entry point). Then every
// `Mark` keeps its name with the QueryPerformanceCounter value of that
// moment (one clock for all processes under Wine and Windows alike), and
// `TimelineWriter` writes them to the file, one "name counter" line each,
// when the entry point returns: nothing is written while the launch is
// being timed. Off, `Mark` costs one test of a flag and nothing else
// changes: no file, no debug output.
#pragma once

namespace StartupTimeline {

// `name` must be a string literal (kept by pointer); one word, no spaces.
void Mark(const char* name);

// Writes what was marked when it goes out of scope (if switched on).
class TimelineWriter {
public:
    TimelineWriter() = default;
    ~TimelineWriter();
    TimelineWriter(const TimelineWriter&) = delete;
    TimelineWriter& operator=(const TimelineWriter&) = delete;
};

}  // namespace StartupTimeline
