#include "radardb/archive/lzw_parallel_expand.h"

#include <deque>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/work_crew.h"
#include "radardb/archive/lzw_block_table.h"
#include "radardb/archive/lzw_decoder.h"
#include "radardb/archive/lzw_dictionary.h"
#include "radardb/archive/lzw_errors.h"

namespace radardb {

// Blocks restart their dictionary, so each can be decoded on its own with a fresh one; only a
// damaged block that names an entry it has not filled itself reads what earlier blocks left
// there. Such a block, and any block too large to hold in memory, is decoded in turn with the
// dictionary a decode of the blocks one after another would have.

namespace {

// Blocks larger than this, compressed, are decoded in turn rather than held (a sound block
// that expands to LzwOutput::kHeldWhole bytes has well under this).
constexpr std::size_t kMaxHeldInput = std::size_t{2} << 20;
// Blocks on their way through the crew, per thread.
constexpr std::size_t kBlocksPerThread = 16;
// Bytes, compressed and expanded, of the blocks on their way beyond the oldest.
constexpr std::uint64_t kMaxBytesInFlight = std::uint64_t{32} << 20;

// Data written by one thread is kept off the cache lines another thread uses: sharing a line
// slows both down.
constexpr std::size_t kCacheLine = 64;

// The dictionary of one of the crew's threads.
struct alignas(kCacheLine) ThreadDictionary {
  LzwDictionary dictionary;
};

bool Held(const LzwBlockSpan& span) {
  return span.length <= kMaxHeldInput && span.ExpectedOutput() <= LzwOutput::kHeldWhole;
}

std::uint64_t Cost(const LzwBlockSpan& span) { return span.length + span.ExpectedOutput(); }

// Refuses every byte: a held block's output never reaches its own sink.
class NoSink : public LzwOutputSink {
 public:
  bool Write(const unsigned char*, std::size_t) override { return false; }
};

// A block decoded in memory of its own, with its compressed bytes and its whole output.
class alignas(kCacheLine) BlockJob : public platform::WorkJob {
 public:
  explicit BlockJob(std::vector<ThreadDictionary>& dictionaries) : dictionaries_(dictionaries) {}

  // Decodes with the running thread's dictionary, emptied first.
  void Run(unsigned thread) override {
    LzwDictionary& dictionary = dictionaries_[thread].dictionary;
    dictionary.Clear();
    Decode(dictionary);
  }

  // Decodes the block with `dictionary` as it stands, replacing any earlier output.
  void Decode(LzwDictionary& dictionary) {
    output.Restart(span.outputStart);
    output.SetLimit(span.expectedTotal);
    result = LzwDecodeBlock(dictionary, bytes.data(), span.length, output);
  }

  LzwBlockSpan span;
  std::vector<unsigned char> bytes;
  LzwBlockResult result;
  NoSink noSink;
  LzwOutput output{noSink};

 private:
  std::vector<ThreadDictionary>& dictionaries_;
};

// The dictionary as a decode of one block after the other leaves it, brought forward when asked
// by decoding the blocks in between again, their output discarded.
class SequentialDictionary {
 public:
  SequentialDictionary(LzwArchiveSource& archive, const LzwArchiveLayout& layout)
      : table_(archive, layout) {}

  // Sets `dictionary` to the dictionary as blocks 0 to `index` - 1, which have all checked out,
  // leave it; `index` must not be below that of the last call. Fails with
  // kLzwFileReadError (the archive no longer reads as it did).
  Status BringTo(std::uint32_t index, LzwDictionary*& dictionary) {
    for (; next_ < index; ++next_) {
      LzwBlockSpan span;
      if (!table_.Describe(next_, span).ok() || !table_.Read(span, bytes_).ok()) {
        return LzwFileReadError();
      }
      output_.Restart(span.outputStart);
      output_.SetLimit(span.expectedTotal);
      LzwDecodeBlock(dictionary_, bytes_.data(), span.length, output_);
    }
    dictionary = &dictionary_;
    return Status();
  }
  // Block `index` has been decoded with the dictionary BringTo gave.
  void Decoded(std::uint32_t index) { next_ = index + 1; }

 private:
  LzwBlockTable table_;
  LzwDictionary dictionary_;
  std::uint32_t next_ = 0;
  std::vector<unsigned char> bytes_;
  LzwCountingSink discard_;
  LzwOutput output_{discard_};
};

class ParallelExpansion {
 public:
  ParallelExpansion(LzwArchiveSource& archive, const LzwArchiveLayout& layout, LzwOutputSink& out,
                    unsigned threads)
      : archive_(archive), layout_(layout), out_(out), table_(archive, layout), crew_(threads) {
    dictionaries_.resize(crew_.Threads());
    for (std::size_t i = 0; i < crew_.Threads() * kBlocksPerThread; ++i) {
      jobs_.push_back(std::make_unique<BlockJob>(dictionaries_));
      idle_.push_back(jobs_.back().get());
    }
  }

  Status Run() {
    for (;;) {
      if (Status status = QueueBlocks(); !status.ok()) return status;
      if (inFlight_.empty()) return pending_;
      BlockJob& job = *inFlight_.front();
      crew_.Wait(job);
      Status status = Finish(job);
      inFlight_.pop_front();
      bytesInFlight_ -= Cost(job.span);
      idle_.push_back(&job);
      if (!status.ok()) return status;
    }
  }

 private:
  // Queues blocks while there is room, up to the first failure the table shows, which waits in
  // pending_ for the blocks before it. A block too large to hold is decoded here once
  // those before it are written; its failure is returned.
  Status QueueBlocks() {
    while (pending_.ok() && next_ < layout_.blockCount && !idle_.empty()) {
      LzwBlockSpan span;
      pending_ = table_.Describe(next_, span);
      if (!pending_.ok()) break;
      if (!Held(span)) {
        if (!inFlight_.empty()) break;
        if (Status status = Stream(span); !status.ok()) return status;
        ++next_;
        continue;
      }
      if (!inFlight_.empty() && bytesInFlight_ + Cost(span) > kMaxBytesInFlight) break;
      BlockJob& job = *idle_.back();
      pending_ = platform::GuardMemory([&] { return table_.Read(span, job.bytes); });
      if (!pending_.ok()) break;
      idle_.pop_back();
      job.span = span;
      crew_.Queue(job);
      inFlight_.push_back(&job);
      bytesInFlight_ += Cost(span);
      ++next_;
    }
    return Status();
  }

  // Hands a decoded block to the output, in turn, after decoding it again with the sequential
  // dictionary when its bytes depend on what earlier blocks left there.
  Status Finish(BlockJob& job) {
    if (job.result.namedOldEntry && job.span.index > 0) {
      LzwDictionary* dictionary = nullptr;
      if (Status status = Sequential().BringTo(job.span.index, dictionary); !status.ok())
        return status;
      job.Decode(*dictionary);
      Sequential().Decoded(job.span.index);
    }
    if (!job.output.Flush(out_)) return LzwOutputRefused();
    if (job.output.LimitExceeded() || job.result.total != job.span.expectedTotal) {
      return LzwDecompressError();
    }
    return Status();
  }

  // Decodes a block with the sequential dictionary straight into the output.
  Status Stream(const LzwBlockSpan& span) {
    std::vector<unsigned char> bytes;
    if (Status status = table_.Read(span, bytes); !status.ok()) return status;
    LzwDictionary* dictionary = nullptr;
    if (Status status = Sequential().BringTo(span.index, dictionary); !status.ok()) return status;
    LzwOutput output(out_, span.outputStart);
    output.SetLimit(span.expectedTotal);
    const LzwBlockResult result = LzwDecodeBlock(*dictionary, bytes.data(), span.length, output);
    Sequential().Decoded(span.index);
    if (output.Failed()) return LzwOutputRefused();
    const bool flushed = output.Flush();
    if (output.LimitExceeded() || result.total != span.expectedTotal) return LzwDecompressError();
    return flushed ? Status() : LzwOutputRefused();
  }

  SequentialDictionary& Sequential() {
    if (!sequential_) sequential_.emplace(archive_, layout_);
    return *sequential_;
  }

  LzwArchiveSource& archive_;
  const LzwArchiveLayout& layout_;
  LzwOutputSink& out_;
  LzwBlockTable table_;
  std::optional<SequentialDictionary> sequential_;
  std::vector<ThreadDictionary> dictionaries_;  // one per thread of the crew
  std::vector<std::unique_ptr<BlockJob>> jobs_;
  std::vector<BlockJob*> idle_;
  std::deque<BlockJob*> inFlight_;  // in block order
  std::uint64_t bytesInFlight_ = 0;
  std::uint32_t next_ = 0;   // the next block to queue
  Status pending_;           // the first failure the table showed, waiting for the blocks before it
  platform::WorkCrew crew_;  // last, so it is gone, and no job runs, before the rest goes
};

}  // namespace

Status ExpandLzwBlocksInParallel(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                                 LzwOutputSink& out, unsigned threads) {
  ParallelExpansion expansion(archive, layout, out, threads);
  return expansion.Run();
}

}  // namespace radardb
