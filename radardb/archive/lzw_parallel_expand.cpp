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
// Consecutive blocks are handed to a thread together, about this many bytes of them, compressed
// and expanded (Cost()): a tiny block (one record, say) decodes in less time than it takes to
// wake a thread for it. Blocks of the default size go a few at a time.
constexpr std::uint64_t kBatchCost = std::uint64_t{256} << 10;
constexpr std::size_t kMaxBatchBlocks = 1024;
// Batches on their way through the crew, per thread.
constexpr std::size_t kBatchesPerThread = 8;
// Bytes, compressed and expanded, of the blocks on their way beyond the oldest batch.
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

// The buffer a held block's output starts with.
constexpr std::size_t kSmallestHeldOutput = 256;

// Refuses every byte: a held block's output never reaches its own sink.
class NoSink : public LzwOutputSink {
 public:
  bool Write(const unsigned char*, std::size_t) override { return false; }
};

// A block decoded in memory of its own, with its compressed bytes and its whole output.
struct HeldBlock {
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
  // Grown to the largest block it has held: a batch of tiny blocks stays small.
  LzwOutput output{noSink, 0, kSmallestHeldOutput};
};

// Gathers the outputs of many small blocks into writes of about a mebibyte each; a large one
// goes on as it is.
class GatheringSink : public LzwOutputSink {
 public:
  explicit GatheringSink(LzwOutputSink& out) : out_(out) { gathered_.reserve(kGatherBytes); }

  bool Write(const unsigned char* data, std::size_t size) override {
    if ((size >= kPassedWhole || gathered_.size() + size > kGatherBytes) && !Pass()) return false;
    if (size >= kPassedWhole) return out_.Write(data, size);
    gathered_.insert(gathered_.end(), data, data + size);
    return true;
  }

  // Hands on what has been gathered; false when the output refused it.
  bool Pass() {
    const bool passed = gathered_.empty() || out_.Write(gathered_.data(), gathered_.size());
    gathered_.clear();
    return passed;
  }

 private:
  static constexpr std::size_t kGatherBytes = std::size_t{1} << 20;
  static constexpr std::size_t kPassedWhole = std::size_t{32} << 10;
  LzwOutputSink& out_;
  std::vector<unsigned char> gathered_;
};

// Consecutive blocks that one thread decodes, each with a fresh dictionary.
class alignas(kCacheLine) BatchJob : public platform::WorkJob {
 public:
  explicit BatchJob(std::vector<ThreadDictionary>& dictionaries) : dictionaries_(dictionaries) {}

  void Run(unsigned thread) override {
    LzwDictionary& dictionary = dictionaries_[thread].dictionary;
    for (std::size_t i = 0; i < count; ++i) {
      dictionary.Clear();
      blocks[i]->Decode(dictionary);
    }
  }

  // The next block of the batch to fill, kept from earlier batches with its buffers.
  HeldBlock& Add() {
    if (count == blocks.size()) blocks.push_back(std::make_unique<HeldBlock>());
    return *blocks[count++];
  }

  std::vector<std::unique_ptr<HeldBlock>> blocks;  // the first `count` are this batch's
  std::size_t count = 0;
  std::uint64_t cost = 0;  // Cost() of its blocks

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
    for (std::size_t i = 0; i < crew_.Threads() * kBatchesPerThread; ++i) {
      jobs_.push_back(std::make_unique<BatchJob>(dictionaries_));
      idle_.push_back(jobs_.back().get());
    }
  }

  // The bytes gathered for the output are handed on whatever the outcome: they come before the
  // point of any failure.
  Status Run() {
    const Status status = RunBatches();
    return gathered_.Pass() ? status : LzwOutputRefused();
  }

 private:
  Status RunBatches() {
    for (;;) {
      if (Status status = QueueBlocks(); !status.ok()) return status;
      if (inFlight_.empty()) return pending_;
      BatchJob& job = *inFlight_.front();
      crew_.Wait(job);
      Status status = Finish(job);
      inFlight_.pop_front();
      bytesInFlight_ -= job.cost;
      idle_.push_back(&job);
      if (!status.ok()) return status;
    }
  }

  // Queues batches of blocks while there is room, up to the first failure the table shows, which
  // waits in pending_ for the blocks before it. A block too large to hold is decoded here once
  // those before it are written; its failure is returned.
  Status QueueBlocks() {
    while (pending_.ok() && next_ < layout_.blockCount && !idle_.empty()) {
      LzwBlockSpan span;
      pending_ = table_.Describe(next_, span);
      if (!pending_.ok()) break;
      if (!Held(span)) {
        if (building_ != nullptr || !inFlight_.empty()) break;
        if (Status status = Stream(span); !status.ok()) return status;
        ++next_;
        continue;
      }
      if (!inFlight_.empty() && bytesInFlight_ + Cost(span) > kMaxBytesInFlight) break;
      if (building_ == nullptr) {
        building_ = idle_.back();
        building_->count = 0;
        building_->cost = 0;
      }
      building_->Add().span = span;
      building_->cost += Cost(span);
      bytesInFlight_ += Cost(span);
      ++next_;
      if (building_->cost >= kBatchCost || building_->count == kMaxBatchBlocks) QueueBatch();
    }
    QueueBatch();
    return Status();
  }

  // Reads the batch being built and hands it to the crew, as far as it could be read.
  void QueueBatch() {
    if (building_ == nullptr) return;
    if (Status read = ReadBatch(*building_); !read.ok()) pending_ = read;
    if (building_->count > 0) {
      idle_.pop_back();
      crew_.Queue(*building_);
      inFlight_.push_back(building_);
    }
    building_ = nullptr;
  }

  // Reads the compressed bytes of the batch's blocks: in one go when they lie one after another,
  // as a packed archive has them; block by block otherwise, or to find the one that fails, where
  // the batch is cut short.
  Status ReadBatch(BatchJob& job) {
    bool adjoining = job.count > 1;
    std::uint64_t end = job.blocks[0]->span.dataOffset;
    for (std::size_t i = 0; i < job.count && adjoining; ++i) {
      const LzwBlockSpan& span = job.blocks[i]->span;
      adjoining = span.dataOffset == end;
      end += span.length;
    }
    if (adjoining && ReadAdjoining(job, end).ok()) return Status();
    for (std::size_t i = 0; i < job.count; ++i) {
      HeldBlock& block = *job.blocks[i];
      Status read = platform::GuardMemory([&] { return table_.Read(block.span, block.bytes); });
      if (read.ok()) continue;
      for (std::size_t cut = i; cut < job.count; ++cut) {
        job.cost -= Cost(job.blocks[cut]->span);
        bytesInFlight_ -= Cost(job.blocks[cut]->span);
      }
      job.count = i;
      return read;
    }
    return Status();
  }

  Status ReadAdjoining(BatchJob& job, std::uint64_t end) {
    const std::uint64_t start = job.blocks[0]->span.dataOffset;
    return platform::GuardMemory([&] {
      run_.resize(end - start);
      if (!archive_.ReadAt(start, run_.size(), run_.data())) return LzwFileReadError();
      for (std::size_t i = 0; i < job.count; ++i) {
        HeldBlock& block = *job.blocks[i];
        const unsigned char* from = run_.data() + (block.span.dataOffset - start);
        block.bytes.assign(from, from + block.span.length);
        block.bytes.resize(block.span.length + kLzwBlockPadding);
      }
      return Status();
    });
  }

  // Hands a batch's decoded blocks to the output, in turn, after decoding a block again with the
  // sequential dictionary when its bytes depend on what earlier blocks left there.
  Status Finish(BatchJob& job) {
    for (std::size_t i = 0; i < job.count; ++i) {
      HeldBlock& block = *job.blocks[i];
      if (block.result.namedOldEntry && block.span.index > 0) {
        LzwDictionary* dictionary = nullptr;
        if (Status status = Sequential().BringTo(block.span.index, dictionary); !status.ok()) {
          return status;
        }
        block.Decode(*dictionary);
        Sequential().Decoded(block.span.index);
      }
      if (!block.output.Flush(gathered_)) return LzwOutputRefused();
      if (block.output.LimitExceeded() || block.result.total != block.span.expectedTotal) {
        return LzwDecompressError();
      }
    }
    return Status();
  }

  // Decodes a block with the sequential dictionary straight into the output, after what was
  // gathered for it.
  Status Stream(const LzwBlockSpan& span) {
    if (!gathered_.Pass()) return LzwOutputRefused();
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
  std::vector<std::unique_ptr<BatchJob>> jobs_;
  std::vector<BatchJob*> idle_;     // the last one is the batch being built, if any
  std::deque<BatchJob*> inFlight_;  // in block order
  BatchJob* building_ = nullptr;    // the batch blocks are being added to
  std::vector<unsigned char> run_;  // the compressed bytes of a batch's adjoining blocks
  GatheringSink gathered_{out_};
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
