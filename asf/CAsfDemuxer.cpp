#include "asf/CAsfDemuxer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "asf/AsfGuids.h"
#include "asf/ByteCursor.h"
#include "asf/PacketLayout.h"

namespace {

// Offsets in a Stream Properties Object's body.
constexpr int32_t kStreamTypeOffset = 0;
constexpr int32_t kTypeSpecificLengthOffset = 40;
constexpr int32_t kFlagsOffset = 48;
constexpr int32_t kTypeSpecificDataOffset = 54;
constexpr int32_t kFormatSize = 28;
// A Stream Properties body is used only when its flags and the 28 format
// bytes lie within the header buffer.
constexpr int32_t kStreamBodyNeeded = kTypeSpecificDataOffset + kFormatSize;

constexpr uint16_t kFormatTagMpeg = 0x0050;
constexpr uint16_t kFormatTagMpegLayer3 = 0x0055;
constexpr int32_t kCodecKindMpegAudio = 4;
constexpr int32_t kCodecKindOther = 5;

// The seek table's first room; once the data has proved to hold that many
// packets, room for all it announces (up to 1 Mi entries, 16 MiB of
// address space, which stays untouched where the count is damaged), and
// beyond that the table doubles.
constexpr size_t kFirstTableReserve = 4096;
constexpr size_t kAnnouncedTableReserve = size_t{1} << 20;

// First part of the header body read at once; larger bodies grow from it.
constexpr int32_t kHeaderReadStep = 64 << 10;

// Reads until `count` bytes have arrived or Read delivers nothing, so a
// source that hands out fewer bytes per call than asked is survived. Counts
// above what was asked for are not believed.
int32_t ReadFully(IByteStream* stream, uint8_t* buffer, int32_t count) {
    int32_t total = 0;
    while (total < count) {
        const int32_t got = stream->Read(buffer + total, count - total);
        if (got <= 0) {
            break;
        }
        total += std::min(got, count - total);
    }
    return total;
}

// What the seek-table scan learns from the start of one packet.
struct ScannedPacket {
    uint32_t presentationTime = 0;  // 0: none found
    uint16_t duration = 0;
};

// Looks in a packet's first bytes for the presentation time of the first
// plain payload of `streamNumber` that carries one. Nothing outside
// `window` is read; a field that does not lie within it ends the walk.
ScannedPacket ScanPacket(const uint8_t* window, uint32_t size, uint16_t streamNumber) {
    ScannedPacket result;
    CByteCursor cursor(window, size);
    PacketHeader header;
    const bool headerRead = ReadPacketHeader(cursor, header);
    result.duration = header.duration;
    if (!headerRead) {
        return result;
    }
    for (uint32_t i = 0; i < header.payloadCount && !cursor.AtEnd(); ++i) {
        PayloadHeader payload;
        if (!ReadPayloadHeader(cursor, header.propertyFlags, payload)) {
            break;
        }
        const uint32_t replicated = payload.replicatedLength;
        if (replicated >= 8 && payload.streamNumber == streamNumber) {
            // Replicated data: media object size (4 bytes), presentation
            // time in milliseconds (4 bytes), then anything further.
            CByteCursor time = cursor;
            uint32_t presentationTime = 0;
            if (!time.Skip(4) || !time.ReadU32(presentationTime)) {
                break;
            }
            if (presentationTime != 0) {
                result.presentationTime = presentationTime;
                return result;
            }
        }
        if (!cursor.Skip(replicated)) {
            break;
        }
        // A single payload, or one without a length field, runs to the
        // payload data end: nothing of the packet follows it.
        if (!header.multiplePayloads || (header.payloadLengthType & 3) == 0) {
            break;
        }
        if (!LengthTypedFieldFits(header.payloadLengthType, cursor)) {
            break;
        }
        if (!cursor.Skip(ReadLengthTypedField(header.payloadLengthType, cursor, 0))) {
            break;
        }
    }
    return result;
}

}  // namespace

CAsfDemuxer::CAsfDemuxer() { m_info = MediaInfo{}; }

CAsfDemuxer::~CAsfDemuxer() {
    Close();
    m_frames.Release();
    std::vector<SeekPoint>().swap(m_seekTable);
}

void CAsfDemuxer::Close() {
    m_extraData.Reset();
    m_packet.Reset();
    m_info = MediaInfo{};
    std::vector<SeekPoint>().swap(m_seekTable);
    m_seekTableSorted = false;
    m_frames.Clear();
    m_buffered = 0;
    m_packetSize = 0;
}

bool CAsfDemuxer::ReadHeader(IByteStream* stream, CHeapBuffer& codecData) {
    std::memset(m_format, 0, sizeof m_format);
    m_fileProps = FileProperties{};

    // Header Object: GUID, Object Size (8 bytes), Number of Header Objects
    // (4 bytes), two reserved bytes; then the header objects.
    uint8_t head[30];
    if (ReadFully(stream, head, sizeof head) != static_cast<int32_t>(sizeof head) ||
        !GuidEquals(head, kHeaderObjectGuid.data())) {
        return false;
    }
    // Only the low 32 bits of Object Size count; the body length is taken
    // modulo 2^32 as a signed number, so a size below 30 is negative.
    CByteCursor headCursor(head, sizeof head);
    uint32_t objectSizeLow = 0;
    if (!headCursor.Skip(16) || !headCursor.ReadU32(objectSizeLow)) {
        return false;
    }
    const int32_t bodyLength = static_cast<int32_t>(objectSizeLow - 30u);
    if (bodyLength < 0) {
        return false;
    }
    const int32_t n = std::min(bodyLength, kMaxHeaderBody);
    const int32_t excess = bodyLength - n;

    // The body is read into a buffer that grows with the bytes that arrive,
    // so a damaged Object Size in a small file costs no large block.
    CHeapBuffer header;
    int32_t have = 0;
    for (int32_t size = std::min(n, kHeaderReadStep);; size = std::min(n, size * 4)) {
        if (!header.Resize(static_cast<size_t>(size))) {
            return false;
        }
        have += ReadFully(stream, header.Data() + have, size - have);
        if (have < size || size == n) {
            break;
        }
    }
    if (excess > 0) {
        (void)stream->Skip(excess, IByteStream::kSkipFromCurrent);
    }
    if (stream->AtEnd()) {
        return false;
    }
    if (have < n) {
        // A short read that is not the end of the data (a source still
        // receiving): the rest of the body reads as zeros.
        if (!header.Resize(static_cast<size_t>(n))) {
            return false;
        }
        std::memset(header.Data() + have, 0, static_cast<size_t>(n - have));
    }
    const uint8_t* body = header.Data();

    // Every occurrence of the Stream Properties GUID is a candidate, in
    // byte order. The first audio stream is taken, unless its wave format
    // has no channels, bits or rate: then a later audio stream replaces it.
    int32_t extraOffset = 0;
    int32_t extraLength = 0;
    for (int32_t b = FindObjectBody(body, n, 0, kStreamPropertiesObjectGuid); b >= 0;
         b = FindObjectBody(body, n, b, kStreamPropertiesObjectGuid)) {
        if (b > n || n - b < kStreamBodyNeeded) {
            continue;
        }
        if (std::memcmp(body + b + kStreamTypeOffset, kAudioMediaTypePrefix.data(), kAudioMediaTypePrefix.size()) !=
            0) {
            continue;
        }
        const WaveFormat held = ParseWaveFormat(m_format);
        if (held.channels != 0 || held.bitsPerSample != 0 || held.samplesPerSec != 0) {
            continue;
        }
        // Type-Specific Data Length at 40, Flags at 48, Type-Specific Data
        // at 54: all within the buffer, as checked above.
        CByteCursor fields(body, static_cast<size_t>(n));
        uint32_t typeSpecificLength = 0;
        uint16_t flags = 0;
        if (!fields.SeekTo(static_cast<size_t>(b + kTypeSpecificLengthOffset)) || !fields.ReadU32(typeSpecificLength) ||
            !fields.SeekTo(static_cast<size_t>(b + kFlagsOffset)) || !fields.ReadU16(flags) ||
            !fields.SeekTo(static_cast<size_t>(b + kTypeSpecificDataOffset)) ||
            !fields.ReadBytes(m_format, kFormatSize)) {
            continue;
        }
        m_streamNumber = flags;
        // The codec-specific data follows the 18-byte WAVEFORMATEX: cbSize
        // bytes, as far as the Type-Specific Data and the buffer hold them.
        const int64_t declared = ParseWaveFormat(m_format).cbSize;
        const int64_t inStream = std::max<int64_t>(0, static_cast<int64_t>(typeSpecificLength) - 18);
        extraOffset = b + kTypeSpecificDataOffset + 18;
        extraLength = static_cast<int32_t>(std::min({declared, inStream, static_cast<int64_t>(n - extraOffset)}));
    }

    const int32_t f = FindObjectBody(body, n, 0, kFilePropertiesObjectGuid);
    if (f >= 0 && f <= n && n - f >= static_cast<int32_t>(kFilePropertiesSize)) {
        m_fileProps = ParseFileProperties(body + f);
    }

    if (!codecData.Allocate(static_cast<size_t>(extraLength), false)) {
        return false;
    }
    if (extraLength > 0) {
        std::memcpy(codecData.Data(), body + extraOffset, static_cast<size_t>(extraLength));
    }
    header.Reset();

    // Data Object: GUID, Object Size, File ID (16 bytes), Total Data
    // Packets, two reserved bytes; the first data packet follows.
    uint8_t guid[16];
    if (ReadFully(stream, guid, sizeof guid) != static_cast<int32_t>(sizeof guid) ||
        !GuidEquals(guid, kDataObjectGuid.data())) {
        return false;
    }
    uint8_t field[8] = {};
    (void)ReadFully(stream, field, sizeof field);
    (void)stream->Skip(16, IByteStream::kSkipFromCurrent);
    std::memset(field, 0, sizeof field);
    (void)ReadFully(stream, field, sizeof field);
    uint64_t totalPackets = 0;
    CByteCursor fieldCursor(field, sizeof field);
    (void)fieldCursor.ReadU64(totalPackets);  // 8 bytes in 8: cannot fail
    m_totalPackets = static_cast<int64_t>(totalPackets);
    (void)stream->Skip(2, IByteStream::kSkipFromCurrent);
    return true;
}

bool CAsfDemuxer::Open(IByteStream* stream) {
    Close();
    // A file without an audio stream must not deliver the payloads of a
    // stream that an earlier file selected.
    m_streamNumber = 0;

    CHeapBuffer codecData;
    if (!ReadHeader(stream, codecData)) {
        return false;
    }
    const WaveFormat format = ParseWaveFormat(m_format);
    m_info.avgBytesPerSec = format.avgBytesPerSec;
    m_info.bitsPerSample = format.bitsPerSample;
    m_info.sampleRate = format.samplesPerSec;
    m_info.blockAlign = format.blockAlign;
    m_info.channels = format.channels;
    m_info.formatTag = format.formatTag;
    if (format.channels > 2) {
        return false;
    }
    const uint32_t packetSize = m_fileProps.maxDataPacketSize;
    if (packetSize > kMaxPacketSize || !m_packet.Allocate(packetSize, false)) {
        Close();
        return false;
    }
    m_info.codecKind = (format.formatTag == kFormatTagMpeg || format.formatTag == kFormatTagMpegLayer3)
                           ? kCodecKindMpegAudio
                           : kCodecKindOther;
    m_extraData = std::move(codecData);
    m_info.extraSize = static_cast<uint32_t>(m_extraData.Size());
    m_info.extraData = m_extraData.Data();
    m_info.bitrate = m_fileProps.maxBitrate / 1000u;
    m_packetSize = packetSize;
    m_stream = stream;
    m_dataStart = stream->Tell();
    if (stream->IsStreaming()) {
        m_dataStart = 0;
    } else {
        BuildSeekTable();
    }

    if (!m_seekTable.empty()) {
        // In files with video the last packets often carry no audio and
        // take the running time: the latest time is the duration.
        int64_t latest = 0;
        for (const SeekPoint& point : m_seekTable) {
            latest = std::max(latest, point.timeMs);
        }
        m_info.duration = static_cast<double>(latest) / 1000.0;
    } else {
        m_info.duration = static_cast<double>(static_cast<int64_t>(m_fileProps.sendDuration)) / 10000000.0;
    }
    m_secondsPerPacket = m_totalPackets > 0 ? m_info.duration / static_cast<double>(m_totalPackets) : 0.0;
    return true;
}

void CAsfDemuxer::BuildSeekTable() {
    if (m_packetSize == 0) {
        return;
    }
    m_stream->SeekTo(m_dataStart);
    // Packets smaller than the window are read whole.
    const uint32_t window = std::min(m_packetSize, kScanWindow);
    const int64_t skip = static_cast<int64_t>(m_packetSize) - window;
    // Bytes after the announced packets (a Simple Index Object, say) are not
    // packets. A count of 0 (broadcast files) means: to the end.
    const int64_t limit = m_totalPackets > 0 ? m_totalPackets : std::numeric_limits<int64_t>::max();
    const int64_t preroll = static_cast<int64_t>(m_fileProps.preroll);
    // A table never holds more entries than the packets announced. Room for
    // them is made as the data proves to hold packets, so a damaged count in
    // a small file costs nothing and a long file is not copied again and
    // again; the table is trimmed at the end.
    m_seekTable.reserve(static_cast<size_t>(std::min<int64_t>(limit, kFirstTableReserve)));

    uint8_t buffer[kScanWindow];
    int64_t runningMs = 0;
    for (int64_t packet = 0; packet < limit; ++packet) {
        const int32_t got = ReadFully(m_stream, buffer, static_cast<int32_t>(window));
        if (got <= 0) {
            break;
        }
        const ScannedPacket scanned = ScanPacket(buffer, static_cast<uint32_t>(got), m_streamNumber);
        int64_t timeMs = 0;
        if (scanned.presentationTime != 0) {
            if (__builtin_sub_overflow(static_cast<int64_t>(scanned.presentationTime), preroll, &timeMs)) {
                timeMs = 0;
            }
        } else {
            timeMs = runningMs;
            runningMs += scanned.duration;
        }
        if (timeMs > 0) {
            if (m_seekTable.size() == m_seekTable.capacity()) {
                const size_t proven = m_seekTable.size();
                const auto announced = static_cast<size_t>(std::min<int64_t>(limit, INT32_MAX));
                m_seekTable.reserve(std::max(2 * proven, std::min(announced, kAnnouncedTableReserve)));
            }
            m_seekTable.push_back(SeekPoint{m_stream->Tell() - got, timeMs});
        }
        if (static_cast<uint32_t>(got) < window) {
            break;  // the data ends inside this packet
        }
        if (skip > 0) {
            (void)m_stream->Skip(skip, IByteStream::kSkipFromCurrent);
        }
    }
    if (m_seekTable.capacity() - m_seekTable.size() > m_seekTable.size() / 8 + 64) {
        m_seekTable.shrink_to_fit();
    }
    m_seekTableSorted = std::is_sorted(m_seekTable.begin(), m_seekTable.end(),
                                       [](const SeekPoint& a, const SeekPoint& b) { return a.timeMs < b.timeMs; });
    m_stream->SeekTo(m_dataStart);
}

int32_t CAsfDemuxer::ReadFrame(uint8_t* buffer, int32_t capacity) {
    if (m_frames.Empty() && !FillFrameQueue()) {
        return -1;
    }
    const PayloadSpan span = m_frames.Pop();
    if (capacity > 0 && span.length > capacity) {
        return -1;  // dropped: it would not fit the host's buffer
    }
    if (span.length > 0) {
        std::memcpy(buffer, m_packet.Data() + span.offset, static_cast<size_t>(span.length));
    }
    return span.length;
}

bool CAsfDemuxer::FillFrameQueue() {
    if (m_packetSize < 2) {
        return false;
    }
    m_frames.Clear();
    const int32_t wanted = static_cast<int32_t>(m_packetSize) - m_buffered;
    const int32_t got = ReadFully(m_stream, m_packet.Data() + m_buffered, wanted);
    if (got <= 0) {
        return false;
    }
    if (got < wanted && m_stream->IsStreaming()) {
        m_buffered += got;  // the rest of the packet comes with later calls
        return false;
    }
    // On a seekable source a short read is the truncated end of the data:
    // only the bytes that arrived are walked.
    const uint32_t valid = static_cast<uint32_t>(m_buffered + got);
    m_buffered = 0;
    WalkPacket(valid);
    return !m_frames.Empty();
}

void CAsfDemuxer::WalkPacket(uint32_t valid) {
    CByteCursor cursor(m_packet.Data(), valid);
    PacketHeader header;
    if (!ReadPacketHeader(cursor, header)) {
        return;
    }
    // Payload data end: the packet length when present (the padding is then
    // not subtracted), otherwise the packet size less the padding.
    int64_t dataEnd = 0;
    if (header.hasPacketLength) {
        if (header.packetLength > m_packetSize) {
            return;
        }
        dataEnd = header.packetLength;
    } else {
        dataEnd = static_cast<int64_t>(m_packetSize) - header.paddingLength;
    }

    for (uint32_t i = 0; i < header.payloadCount && !cursor.AtEnd(); ++i) {
        PayloadHeader payload;
        if (!ReadPayloadHeader(cursor, header.propertyFlags, payload)) {
            return;
        }
        const bool compressed = payload.replicatedLength == kCompressedReplicatedLength;
        if (!cursor.Skip(payload.replicatedLength)) {
            return;  // replicated data reaches past the packet: no data here
        }
        const int64_t position = static_cast<int64_t>(cursor.Position());
        int64_t length = dataEnd - position;
        if (header.multiplePayloads && (header.payloadLengthType & 3) != 0) {
            if (!LengthTypedFieldFits(header.payloadLengthType, cursor)) {
                return;
            }
            length = ReadLengthTypedField(header.payloadLengthType, cursor, 0);
        }
        const int64_t start = static_cast<int64_t>(cursor.Position());
        const int64_t room = static_cast<int64_t>(cursor.Remaining());
        if (length < 0 || length > room) {
            length = room;
        }
        const bool selected = payload.streamNumber == m_streamNumber;
        if (!compressed) {
            if (selected) {
                m_frames.Push(PayloadSpan{static_cast<int32_t>(start), static_cast<int32_t>(length)});
            }
            (void)cursor.Skip(static_cast<uint64_t>(length));
            continue;
        }
        // Compressed payload: sub-payloads of a length byte and its bytes.
        int64_t left = length;
        while (left > 0) {
            uint8_t subLength = 0;
            if (!cursor.ReadU8(subLength)) {
                return;
            }
            if (subLength > left - 1) {
                break;  // does not fit: the next payload starts here
            }
            if (selected) {
                m_frames.Push(PayloadSpan{static_cast<int32_t>(cursor.Position()), subLength});
            }
            (void)cursor.Skip(subLength);
            left -= 1 + subLength;
        }
    }
}

void CAsfDemuxer::Seek(double* seconds) {
    if (!(m_info.duration > 0.0)) {
        return;  // no file open (or a file without a usable duration)
    }
    const double request = *seconds;
    if (!std::isfinite(request)) {
        return;
    }
    if (request <= 0.0) {
        // The first packet's time is 0, which the table never holds.
        m_stream->SeekTo(m_dataStart);
        *seconds = 0.0;
        return;
    }
    if (!m_seekTable.empty()) {
        const double requestMs = request * 1000.0;
        if (requestMs >= 9223372036854775808.0) {
            return;  // beyond every int64 time
        }
        const auto ms = static_cast<int64_t>(requestMs);
        // The first entry, in table order, whose time is later than the
        // request; in a table whose times never decrease, that is where
        // the binary search lands.
        const auto later = [ms](const SeekPoint& point) { return point.timeMs > ms; };
        const auto found =
            m_seekTableSorted
                ? std::upper_bound(m_seekTable.begin(), m_seekTable.end(), ms,
                                   [](int64_t value, const SeekPoint& point) { return value < point.timeMs; })
                : std::find_if(m_seekTable.begin(), m_seekTable.end(), later);
        if (found == m_seekTable.end() || found->position <= 0) {
            return;
        }
        m_stream->SeekTo(found->position);
        *seconds = static_cast<double>(found->timeMs) / 1000.0;
        return;
    }
    // No table: the packet in proportion to the duration, held within
    // 0 .. Total Data Packets (the position just past the last packet).
    const int64_t total = std::max<int64_t>(m_totalPackets, 0);
    const double x = (request / m_info.duration) * static_cast<double>(m_totalPackets);
    int64_t index = total;
    if (x < static_cast<double>(total)) {
        index = x > 0.0 ? static_cast<int64_t>(x) : 0;
    }
    int64_t offset = 0;
    int64_t position = 0;
    if (__builtin_mul_overflow(index, static_cast<int64_t>(m_packetSize), &offset) ||
        __builtin_add_overflow(m_dataStart, offset, &position)) {
        return;
    }
    m_stream->SeekTo(position);
    if (m_secondsPerPacket > 0.0) {
        *seconds = static_cast<double>(index) * m_secondsPerPacket;
    }
}
