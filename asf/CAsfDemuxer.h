#pragma once

#include <cstdint>
#include <vector>

#include "asf/AsfRecords.h"
#include "asf/CFrameQueue.h"
#include "asf/HeapBuffer.h"
#include "asf/SeekPoint.h"
#include "demuxer/CDemuxer.h"

// Demuxer of ASF files (.wma, .wmv): delivers the payloads of the first
// audio stream with at most two channels, one frame per payload or per
// sub-payload of a compressed payload, and seeks by a table of packet times
// built while opening a seekable source.
class CAsfDemuxer final : public CDemuxer {
public:
    CAsfDemuxer();

    bool Open(IByteStream* stream) override;
    void Close() override;
    void Seek(double* seconds) override;
    int32_t ReadFrame(uint8_t* buffer, int32_t capacity) override;

    // Largest Maximum Data Packet Size that Open accepts. ASF muxers write
    // packets of a few kilobytes (64 KiB at the very most); larger values
    // come from damaged or crafted files, and would make every Open a large
    // allocation and every frame a 32-bit length hazard.
    static constexpr uint32_t kMaxPacketSize = 1u << 20;

    // Largest part of the Header Object's body that is read and searched.
    static constexpr int32_t kMaxHeaderBody = 1 << 20;

    // Bytes of a packet the seek-table scan reads: enough for the packet's
    // header and its first payload headers.
    static constexpr uint32_t kScanWindow = 128;

private:
    // Lets the unit tests look at the seek table and the packet state.
    friend struct CAsfDemuxerTestPeer;

    ~CAsfDemuxer() override;

    // Reads the Header Object and the Data Object's fixed part, leaving the
    // stream at the first data packet. Fills m_format, m_fileProps,
    // m_streamNumber and m_totalPackets, and `codecData` with the selected
    // audio stream's codec-specific data.
    bool ReadHeader(IByteStream* stream, CHeapBuffer& codecData);

    // Reads every data packet's first bytes once and records the packets
    // with a positive time. Leaves the stream at m_dataStart.
    void BuildSeekTable();

    // Reads the next data packet and queues its frames of the selected
    // stream. True when a frame is queued.
    bool FillFrameQueue();

    // Queues the selected stream's frames of the packet in m_packet, of
    // which the first `valid` bytes came from the stream.
    void WalkPacket(uint32_t valid);

    IByteStream* m_stream = nullptr;
    // First 28 bytes of the selected audio stream's Type-Specific Data: the
    // WAVEFORMATEX and the first 10 codec-specific bytes.
    uint8_t m_format[28] = {};
    FileProperties m_fileProps{};
    int64_t m_dataStart = 0;
    int64_t m_totalPackets = 0;
    double m_secondsPerPacket = 0.0;
    CHeapBuffer m_packet;
    uint32_t m_packetSize = 0;
    // Bytes of a partly received packet already at the start of m_packet.
    int32_t m_buffered = 0;
    // The whole Flags word of the selected stream's Stream Properties
    // Object; a payload belongs to it when its 7-bit stream number equals
    // the word. 0 (no ASF stream has number 0) while none is selected.
    uint16_t m_streamNumber = 0;
    std::vector<SeekPoint> m_seekTable;
    // True when the table's times never decrease (audio-only files): Seek
    // then finds its entry by binary search.
    bool m_seekTableSorted = false;
    CFrameQueue m_frames;
    // The block m_info.extraData points to.
    CHeapBuffer m_extraData;
};
