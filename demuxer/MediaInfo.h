#pragma once

#include <cstdint>

// Description of the one audio stream a demuxer delivers. The demuxer owns
// the record and everything it points to; the host only reads it, from an
// Open that returned true until the next Close, Open or Release. While no
// file is open every field is zero and extraData is null.
//
// The field order and types are part of the binary interface (64 bytes on
// LP64 and LLP64 targets).
struct MediaInfo {
    // Codec family: 4 for MPEG audio (formatTag 0x0050 or 0x0055), 5 for
    // every other tag.
    int32_t codecKind;
    // Length of the media in seconds.
    double duration;
    // Maximum bit rate of the file in kilobits per second (rounded down).
    uint32_t bitrate;
    // WAVEFORMATEX nSamplesPerSec.
    uint32_t sampleRate;
    // WAVEFORMATEX nAvgBytesPerSec.
    uint32_t avgBytesPerSec;
    // WAVEFORMATEX nChannels: 0 (the file has no audio stream), 1 or 2.
    uint32_t channels;
    // WAVEFORMATEX wBitsPerSample.
    uint32_t bitsPerSample;
    // WAVEFORMATEX nBlockAlign, in bytes.
    uint32_t blockAlign;
    // Number of bytes at extraData.
    uint32_t extraSize;
    // The codec-specific data that follows the WAVEFORMATEX in the stream's
    // type-specific data, extraSize bytes, owned by the demuxer.
    const uint8_t* extraData;
    // WAVEFORMATEX wFormatTag.
    uint16_t formatTag;
};
