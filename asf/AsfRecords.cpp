#include "asf/AsfRecords.h"

#include "asf/ByteCursor.h"

FileProperties ParseFileProperties(const uint8_t* body) noexcept {
    FileProperties props{};
    CByteCursor cursor(body, kFilePropertiesSize);
    // 80 bytes hold every field, so none of these reads can fail.
    const bool complete = cursor.ReadBytes(props.fileId, sizeof props.fileId) && cursor.ReadU64(props.fileSize) &&
                          cursor.ReadU64(props.creationDate) && cursor.ReadU64(props.dataPacketsCount) &&
                          cursor.ReadU64(props.playDuration) && cursor.ReadU64(props.sendDuration) &&
                          cursor.ReadU64(props.preroll) && cursor.ReadU32(props.flags) &&
                          cursor.ReadU32(props.minDataPacketSize) && cursor.ReadU32(props.maxDataPacketSize) &&
                          cursor.ReadU32(props.maxBitrate);
    return complete ? props : FileProperties{};
}

WaveFormat ParseWaveFormat(const uint8_t* data) noexcept {
    WaveFormat format{};
    CByteCursor cursor(data, kWaveFormatSize);
    const bool complete = cursor.ReadU16(format.formatTag) && cursor.ReadU16(format.channels) &&
                          cursor.ReadU32(format.samplesPerSec) && cursor.ReadU32(format.avgBytesPerSec) &&
                          cursor.ReadU16(format.blockAlign) && cursor.ReadU16(format.bitsPerSample) &&
                          cursor.ReadU16(format.cbSize);
    return complete ? format : WaveFormat{};
}
