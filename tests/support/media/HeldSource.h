// A file source for tests and benchmarks whose reads can be held back on demand, the way a
// network share that stops answering holds a read: a held read cannot be interrupted, not by
// a flush and not by a state change, until the reads are let go again.
//
// The element is "mirtheldsrc", filesrc with a gate before its opening and each read; build a graph
// with GraphOptions::source = kHeldSourceFactory to read through it.
#pragma once

#include <string>

namespace testmedia {

inline constexpr char kHeldSourceFactory[] = "mirtheldsrc";

// Registers the element with GStreamer (once per process; initialises GStreamer if needed).
bool RegisterHeldSource();

// Registers `factoryName`, a type `typeName` derived from the type of the element `base` whose
// class `classInit` adjusts (initialises GStreamer if needed). Once per factory name.
bool RegisterDerivedElement(const char* factoryName, const char* base, const char* typeName,
                            void (*classInit)(void* klass, void* data));

// From now on every read of `location` (as given to the element), or of every file, waits
// until ReleaseReads(); reads already under way finish. Other files read as usual.
void HoldReads(const std::string& location);
void HoldAllReads();
void ReleaseReads();
// How many reads are waiting right now.
int HeldReads();

} // namespace testmedia
