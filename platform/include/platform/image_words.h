#ifndef PLATFORM_IMAGE_WORDS_H
#define PLATFORM_IMAGE_WORDS_H

// What the tools that read images say of what the reader found, in words
// they share: why an image did not open, and what was wrong with its
// container.

#include "d88image/container.h"
#include "d88image/image_stream.h"

namespace platform {

// Room for any reason below.
constexpr int kMaxImageWords = 512;

// The reason, in the user's language: "not a regular file (a folder)", or
// the system's reason.
const char* DescribeOpenFailure(const d88::OpenFailure& failure,
                                char (&reason)[kMaxImageWords]);

// Reports it as an error: "<program>: PATH: not a regular file (a
// folder)", or "<program>: cannot open PATH: <reason>"; returns the reason.
const char* ReportOpenFailure(const char* path, const d88::OpenFailure& failure,
                              char (&reason)[kMaxImageWords]);

// What was wrong with the container, in the user's language ("cut short:
// the file ends inside a sector's data of track 12 (C 6 H 0)"); nullptr
// where nothing was.
const char* DescribeContainerProblem(const d88::ContainerProblem& problem,
                                     char (&reason)[kMaxImageWords]);

}  // namespace platform

#endif  // PLATFORM_IMAGE_WORDS_H
