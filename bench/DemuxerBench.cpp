// Frame delivery, opening and seeking, against the physical limit: every
// frame is copied twice by design (stream to packet buffer, packet buffer
// to host), so half the memcpy bandwidth of the same bytes is the ceiling.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "asf/CAsfDemuxer.h"
#include "bench/AllocationCounter.h"
#include "bench/BenchFiles.h"
#include "bench/BenchStream.h"

namespace {

constexpr uint64_t kLongFile = 256ull << 20;

IDemuxer* NewDemuxer() { return new CAsfDemuxer(); }

// memcpy of the whole file, for the bandwidth the frame delivery is set
// against. The destination is touched once before timing.
void MemcpyBaseline(benchmark::State& state, Shape shape) {
    const BenchFile& file = FileOfShape(shape, kLongFile);
    std::vector<uint8_t> destination(file.bytes.size());
    std::memcpy(destination.data(), file.bytes.data(), file.bytes.size());
    for (auto _ : state) {
        std::memcpy(destination.data(), file.bytes.data(), file.bytes.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes.size()));
}

// Every frame of the file, from Open to the end of the data. Each
// iteration also times one memcpy of the whole file, outside the measured
// time, so the ratio to it ("of memcpy") pairs runs made moments apart.
void FrameDelivery(benchmark::State& state, Shape shape) {
    const BenchFile& file = FileOfShape(shape, kLongFile);
    IDemuxer* demuxer = NewDemuxer();
    std::vector<uint8_t> buffer(64 << 10);
    std::vector<uint8_t> copy(file.bytes.size());
    std::memcpy(copy.data(), file.bytes.data(), file.bytes.size());
    std::chrono::nanoseconds memcpyTime{0};
    std::chrono::nanoseconds deliveryTime{0};
    uint64_t frames = 0;
    uint64_t bytes = 0;
    uint64_t steadyAllocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto copyStart = std::chrono::steady_clock::now();
        std::memcpy(copy.data(), file.bytes.data(), file.bytes.size());
        benchmark::ClobberMemory();
        memcpyTime += std::chrono::steady_clock::now() - copyStart;
        CBenchStream stream(file.bytes);
        if (!demuxer->Open(&stream)) {
            state.SkipWithError("Open failed");
            break;
        }
        // Let the frame queue reach its size, then count what is allocated.
        for (int i = 0; i < 1000; ++i) {
            (void)demuxer->ReadFrame(buffer.data(), static_cast<int32_t>(buffer.size()));
        }
        StartCountingAllocations();
        state.ResumeTiming();
        const auto deliveryStart = std::chrono::steady_clock::now();
        for (;;) {
            const int32_t n = demuxer->ReadFrame(buffer.data(), static_cast<int32_t>(buffer.size()));
            if (n < 0) {
                if (stream.AtEnd()) {
                    break;
                }
                continue;
            }
            ++frames;
            bytes += static_cast<uint64_t>(n);
        }
        deliveryTime += std::chrono::steady_clock::now() - deliveryStart;
        steadyAllocations += StopCountingAllocations().calls;
        benchmark::DoNotOptimize(buffer.data());
    }
    demuxer->Release();
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.SetItemsProcessed(static_cast<int64_t>(frames));
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(steadyAllocations);
    const double memcpyRate =
        static_cast<double>(state.iterations() * file.bytes.size()) / static_cast<double>(memcpyTime.count());
    const double deliveryRate = static_cast<double>(bytes) / static_cast<double>(deliveryTime.count());
    state.counters["memcpy GB/s"] = memcpyRate;
    state.counters["of memcpy"] = deliveryRate / memcpyRate;
}

void Open(benchmark::State& state) {
    const BenchFile& file = FileOfPackets(static_cast<uint64_t>(state.range(0)));
    IDemuxer* demuxer = NewDemuxer();
    std::chrono::nanoseconds elapsed{0};
    for (auto _ : state) {
        CBenchStream stream(file.bytes);
        const auto start = std::chrono::steady_clock::now();
        const bool opened = demuxer->Open(&stream);
        elapsed += std::chrono::steady_clock::now() - start;
        if (!opened) {
            state.SkipWithError("Open failed");
            break;
        }
    }
    state.counters["ns/packet"] =
        static_cast<double>(elapsed.count()) / static_cast<double>(state.iterations() * file.packets);
    demuxer->Release();
    // What an open file holds: the heap a new demuxer's Open leaves in use
    // (packet buffer, codec data, seek table), and the most it used.
    IDemuxer* fresh = NewDemuxer();
    CBenchStream stream(file.bytes);
    StartCountingAllocations();
    (void)fresh->Open(&stream);
    const AllocationCount opened = StopCountingAllocations();
    fresh->Release();
    state.counters["open bytes"] = static_cast<double>(opened.live);
    state.counters["peak bytes"] = static_cast<double>(opened.peak);
    state.counters["bytes/packet"] = static_cast<double>(opened.live) / static_cast<double>(file.packets);
    state.SetComplexityN(state.range(0));
}

void Seek(benchmark::State& state) {
    const BenchFile& file = FileOfPackets(static_cast<uint64_t>(state.range(0)));
    IDemuxer* demuxer = NewDemuxer();
    CBenchStream stream(file.bytes);
    if (!demuxer->Open(&stream)) {
        state.SkipWithError("Open failed");
        return;
    }
    const double duration = demuxer->GetMediaInfo()->duration;
    double fraction = 0.0;
    for (auto _ : state) {
        // Requests spread over the file, so the search lengths vary.
        fraction += 0.618033988749895;
        fraction -= static_cast<int>(fraction);
        double seconds = fraction * duration;
        demuxer->Seek(&seconds);
        benchmark::DoNotOptimize(seconds);
    }
    demuxer->Release();
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK_CAPTURE(MemcpyBaseline, large_payloads, Shape::LargePayloads)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FrameDelivery, large_payloads, Shape::LargePayloads)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemcpyBaseline, single_payload, Shape::SinglePayload)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FrameDelivery, single_payload, Shape::SinglePayload)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemcpyBaseline, compressed_payloads, Shape::CompressedPayloads)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FrameDelivery, compressed_payloads, Shape::CompressedPayloads)->Unit(benchmark::kMillisecond);
BENCHMARK(Open)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(Seek)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oLogN);

BENCHMARK_MAIN();
