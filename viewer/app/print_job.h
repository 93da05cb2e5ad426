#pragma once

#include <atomic>
#include <vector>

namespace tavik {

class MessageSink;
class Workspace;
struct CommandLine;
struct SpeciesRecord;

// `tavik --print FILE.pdf`: lays the species out as one document (an overlay
// with --overlay) under the current print form or the form --form names, and
// writes every page to one A4 portrait PDF at 300 dots per inch. The file is
// replaced only when every page was written. One progress line per page goes
// to stderr. Returns the exit status: 0 done, 1 failed (message shown), 130
// stopped by `stop` between pages (nothing written).
int printJob(const CommandLine& line, Workspace& workspace, const std::vector<const SpeciesRecord*>& species,
    MessageSink& messages, std::atomic<bool>& stop);

} // namespace tavik
