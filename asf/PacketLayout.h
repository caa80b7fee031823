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
    uint8_t streamNumber = 0;      // bits 0-6 of the stream number byte
    uint32_t replicatedLength = 0;
};

// Replicated data length 1 marks a compressed payload: its data is a run of
// sub-payloads, each a length byte and that many bytes.
inline constexpr uint32_t kCompressedReplicatedLength = 1;

// Reads a payload's stream number, steps over its media object number and
// offset into media object, and reads its replicated data length; the cursor
// is left at the replicated data. False when a field does not fit.
[[nodiscard]] bool ReadPayloadHeader(CByteCursor& cursor, uint8_t propertyFlags, PayloadHeader& payload) noexcept;
