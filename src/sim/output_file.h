// The simulator's output files: a failed write never removes or half-replaces a file that
// was there before, and every error says why.
#pragma once

#include <cstdio>
#include <string>

namespace wrigglet::sim {

// A regular file (or a new one) is written to a temporary file beside it and renamed over
// it only once everything is written; anything else that exists (a device, a pipe) is
// written in place and never removed.
class OutputFile {
public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {}
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The stream to write to, or null with the reason in Error().
    std::FILE* Open();
    // Flushes and closes, then puts the file in place. Empty on success, else the reason.
    std::string Commit();
    // "cannot write 'PATH': REASON" from errno, for failures seen while writing.
    std::string Error(const std::string& reason) const;

private:
    void Discard();

    std::string path_;
    std::string temporary_;  // empty when writing in place
    std::FILE* file_ = nullptr;
    std::string error_;
};

}  // namespace wrigglet::sim
