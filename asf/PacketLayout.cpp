#include "asf/PacketLayout.h"

namespace {

constexpr uint32_t kFieldSize[4] = {0, 1, 2, 4};

}  // namespace

bool LengthTypedFieldFits(uint32_t lengthType, const CByteCursor& cursor) noexcept {
    return cursor.CanRead(kFieldSize[lengthType & 3]);
}

uint32_t ReadLengthTypedField(uint32_t lengthType, CByteCursor& cursor, uint32_t defaultValue) noexcept {
    const uint32_t size = kFieldSize[lengthType & 3];
    uint64_t value = 0;
    if (size == 0 || !cursor.ReadLittleEndian(size, value)) {
        return defaultValue;
    }
    return static_cast<uint32_t>(value);
}

bool ReadPacketHeader(CByteCursor& cursor, PacketHeader& header) noexcept {
    header = PacketHeader{};
    uint8_t first = 0;
    if (!cursor.ReadU8(first)) {
        return false;
    }
    if ((first & 0x80) != 0) {
        // Error correction present: bits 0-3 count the data bytes that
        // follow the flags byte; they are skipped unread.
        if (!cursor.Skip(first & 0x0F) || !cursor.ReadU8(header.lengthTypeFlags)) {
            return false;
        }
    } else {
        header.lengthTypeFlags = first;
    }
    if (!cursor.ReadU8(header.propertyFlags)) {
        return false;
    }
    const uint8_t flags = header.lengthTypeFlags;
    const uint32_t packetLengthType = flags >> 5;
    const uint32_t sequenceType = flags >> 1;
    const uint32_t paddingType = flags >> 3;
    if (!LengthTypedFieldFits(packetLengthType, cursor)) {
        return false;
    }
    header.hasPacketLength = (packetLengthType & 3) != 0;
    header.packetLength = ReadLengthTypedField(packetLengthType, cursor, 0);
    if (!LengthTypedFieldFits(sequenceType, cursor)) {
        return false;
    }
    (void)ReadLengthTypedField(sequenceType, cursor, 0);
    if (!LengthTypedFieldFits(paddingType, cursor)) {
        return false;
    }
    header.paddingLength = ReadLengthTypedField(paddingType, cursor, 0);
    // Send time (4 bytes, not used), then duration.
    if (!cursor.Skip(4) || !cursor.ReadU16(header.duration)) {
        return false;
    }
    header.multiplePayloads = (flags & 0x01) != 0;
    if (!header.multiplePayloads) {
        header.payloadCount = 1;
        return true;
    }
    uint8_t payloadFlags = 0;
    if (!cursor.ReadU8(payloadFlags)) {
        return false;
    }
    header.payloadCount = payloadFlags & 0x3F;
    header.payloadLengthType = payloadFlags >> 6;
    return true;
}

bool ReadPayloadHeader(CByteCursor& cursor, uint8_t propertyFlags, PayloadHeader& payload) noexcept {
    uint8_t streamByte = 0;
    if (!cursor.ReadU8(streamByte)) {
        return false;
    }
    payload.streamNumber = streamByte & 0x7F;  // bit 7 is the key-frame flag
    const uint32_t mediaObjectNumberType = propertyFlags >> 4;
    const uint32_t offsetType = propertyFlags >> 2;
    const uint32_t replicatedLengthType = propertyFlags;
    if (!LengthTypedFieldFits(mediaObjectNumberType, cursor)) {
        return false;
    }
    (void)ReadLengthTypedField(mediaObjectNumberType, cursor, 0);
    if (!LengthTypedFieldFits(offsetType, cursor)) {
        return false;
    }
    (void)ReadLengthTypedField(offsetType, cursor, 0);
    if (!LengthTypedFieldFits(replicatedLengthType, cursor)) {
        return false;
    }
    payload.replicatedLength = ReadLengthTypedField(replicatedLengthType, cursor, 0);
    return true;
}
