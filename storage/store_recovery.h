#pragma once
// The steps both store loads share once the file was read: saying what was wrong with
// it, keeping the damaged original aside, and tracing the outcome.

#include <ctime>
#include <string>

#include "storage/damaged_file.h"
#include "storage/record_file_reader.h"
#include "storage/record_repair.h"
#include "storage/store_load_result.h"

namespace norvane {

// One line on what reading the file lost; empty when it was read whole. `kept` is the
// number of whole records, `noun` names one ("profile", "macro").
std::string describe_damage(const RecordFileRead& read, size_t head_size, size_t record_size, size_t kept,
                            const char* noun);

// Sets the file at `path` aside and records where in `result`; on failure adds a note
// instead. Returns whether the original is safe elsewhere.
bool keep_original_aside(FileOps& ops, const std::string& path, std::time_t now, AsideMode mode,
                         LoadResult& result, RepairNotes& notes);

// The failed save of a list longer than its store may hold (kMaxStoredProfiles,
// kMaxStoredMacros): the old file stays.
SaveResult too_many_records(const std::string& path, size_t count, const char* noun);

// The failed save of a store whose image of `bytes` could not be given memory.
SaveResult no_memory_for_image(const std::string& path, size_t bytes);

// Joins the notes into `result.message` and traces the outcome, the notes and the
// result of the load's own save.
void finish_load_result(const char* file_name, RepairNotes& notes, LoadResult& result);

}  // namespace norvane
