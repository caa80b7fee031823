#pragma once

#include <cstdint>

#include "asf/ByteCursor.h"

// Readers of an ASF data packet's variable-size fields, whose sizes a 2-bit
// length type code gives: 0 absent, 1 one byte, 2 two bytes, 3 four bytes.

// True when a field of `lengthType` (low two bits) lies within the bytes
// left to `cursor`. An absent field always fits.
[[nodiscard]] bool LengthTypedFieldFits(uint32_t lengthType, const CByteCursor& cursor) noexcept;

// Reads a field of `lengthType` (only the low two bits count, so a flags
// byte may be passed shifted but unmasked) and moves past it. Returns
// `defaultValue` for an absent field, or for one that does not fit (callers
// test LengthTypedFieldFits first); the cursor then stays where it is.
uint32_t ReadLengthTypedField(uint32_t lengthType, CByteCursor& cursor, uint32_t defaultValue) noexcept;

// The fields of a data packet from its first byte up to its first payload.
struct PacketHeader {
    uint8_t lengthTypeFlags = 0;
    uint8_t propertyFlags = 0;
    bool hasPacketLength = false;
    uint32_t packetLength = 0;
    uint32_t paddingLength = 0;
    uint16_t duration = 0;  // milliseconds
    bool multiplePayloads = false;
    uint32_t payloadCount = 0;
    uint32_t payloadLengthType = 0;
};

// Reads the error correction flags and data, the length type and property
// flags, packet length, sequence, padding length, send time, duration and,
// in a packet with multiple payloads, the payload flags. False when one of
// them does not lie within the cursor's bytes; `header` then holds the
// fields read so far.
[[nodiscard]] bool ReadPacketHeader(CByteCursor& cursor, PacketHeader& header) noexcept;

// A payload's stream number and replicated data length.
struct PayloadHeader {
    uint8_t streamNumber = 0;  // bits 0-6 of the stream number byte
    uint32_t replicatedLength = 0;
};

// Replicated data length 1 marks a compressed payload: its data is a run of
// sub-payloads, each a length byte and that many bytes.
inline constexpr uint32_t kCompressedReplicatedLength = 1;

// Reads a payload's stream number, steps over its media object number and
// offset into media object, and reads its replicated data length; the cursor
// is left at the replicated data. False when a field does not fit.
[[nodiscard]] bool ReadPayloadHeader(CByteCursor& cursor, uint8_t propertyFlags, PayloadHeader& payload) noexcept;

// The definitions are inline: both packet walkers call them for every
// field of every packet.

inline constexpr uint32_t kLengthTypeFieldSize[4] = {0, 1, 2, 4};

inline bool LengthTypedFieldFits(uint32_t lengthType, const CByteCursor& cursor) noexcept {
    return cursor.CanRead(kLengthTypeFieldSize[lengthType & 3]);
}

inline uint32_t ReadLengthTypedField(uint32_t lengthType, CByteCursor& cursor, uint32_t defaultValue) noexcept {
    switch (lengthType & 3) {
        case 1: {
            uint8_t value = 0;
            return cursor.ReadU8(value) ? value : defaultValue;
        }
        case 2: {
            uint16_t value = 0;
            return cursor.ReadU16(value) ? value : defaultValue;
        }
        case 3: {
            uint32_t value = 0;
            return cursor.ReadU32(value) ? value : defaultValue;
        }
        default: return defaultValue;
    }
}

inline bool ReadPacketHeader(CByteCursor& cursor, PacketHeader& header) noexcept {
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

inline bool ReadPayloadHeader(CByteCursor& cursor, uint8_t propertyFlags, PayloadHeader& payload) noexcept {
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
