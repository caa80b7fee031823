/* A host written in C: it knows the module only by the binary layout of its
 * tables of operations (Itanium C++ ABI: the object's first word points at
 * an array of function pointers, `this` is the first argument) and plays a
 * sample through them. It also implements the byte stream in C, so the
 * stream's slot order is proven too.
 *   vq_c_host MODULE FILE AUDIO_BYTES */

#include <dlfcn.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    int32_t codecKind;
    double duration;
    uint32_t bitrate;
    uint32_t sampleRate;
    uint32_t avgBytesPerSec;
    uint32_t channels;
    uint32_t bitsPerSample;
    uint32_t blockAlign;
    uint32_t extraSize;
    const uint8_t* extraData;
    uint16_t formatTag;
} MediaInfo;

typedef struct ByteStream ByteStream;
typedef struct {
    int64_t (*GetSize)(ByteStream* self);
    int32_t (*Read)(ByteStream* self, void* buffer, int32_t count);
    int32_t (*Peek)(ByteStream* self, void* buffer, int32_t count);
    bool (*IsStreaming)(ByteStream* self);
    bool (*AtEnd)(ByteStream* self);
    int64_t (*Tell)(ByteStream* self);
    bool (*SeekTo)(ByteStream* self, int64_t position);
    bool (*Skip)(ByteStream* self, int64_t offset, int32_t origin);
} ByteStreamOps;
struct ByteStream {
    const ByteStreamOps* ops;
    const uint8_t* data;
    int64_t size;
    int64_t pos;
};

typedef struct Demuxer Demuxer;
typedef struct {
    bool (*Open)(Demuxer* self, ByteStream* stream);
    void (*Close)(Demuxer* self);
    void (*Seek)(Demuxer* self, double* seconds);
    int32_t (*ReadFrame)(Demuxer* self, uint8_t* buffer, int32_t capacity);
    const MediaInfo* (*GetMediaInfo)(Demuxer* self);
    void (*Release)(Demuxer* self);
    void (*CompleteDestructor)(Demuxer* self); /* never called by a host */
    void (*DeletingDestructor)(Demuxer* self);
} DemuxerOps;
struct Demuxer {
    const DemuxerOps* ops;
};

typedef struct Plugin Plugin;
typedef struct {
    int32_t (*GetPluginType)(Plugin* self);
    void (*Release)(Plugin* self);
    Demuxer* (*CreateDemuxer)(Plugin* self);
    bool (*SupportsExtension)(Plugin* self, const uint16_t* extension);
} PluginOps;
struct Plugin {
    const PluginOps* ops;
};

static int64_t StreamGetSize(ByteStream* s) { return s->size; }
static int32_t StreamPeek(ByteStream* s, void* buffer, int32_t count) {
    int64_t left = s->size - s->pos;
    int32_t n = count < 0 ? 0 : (left < count ? (int32_t)(left < 0 ? 0 : left) : count);
    if (n > 0)
        memcpy(buffer, s->data + s->pos, (size_t)n);
    return n;
}
static int32_t StreamRead(ByteStream* s, void* buffer, int32_t count) {
    int32_t n = StreamPeek(s, buffer, count);
    s->pos += n;
    return n;
}
static bool StreamIsStreaming(ByteStream* s) {
    (void)s;
    return false;
}
static bool StreamAtEnd(ByteStream* s) { return s->pos >= s->size; }
static int64_t StreamTell(ByteStream* s) { return s->pos; }
static bool StreamSeekTo(ByteStream* s, int64_t position) {
    s->pos = position;
    return true;
}
static bool StreamSkip(ByteStream* s, int64_t offset, int32_t origin) {
    if (origin != 1)
        return false;
    s->pos += offset;
    return true;
}
static const ByteStreamOps kStreamOps = {StreamGetSize, StreamRead, StreamPeek,   StreamIsStreaming,
                                         StreamAtEnd,   StreamTell, StreamSeekTo, StreamSkip};

static int failures = 0;
#define CHECK(condition)                                                    \
    do {                                                                    \
        if (!(condition)) {                                                 \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                     \
        }                                                                   \
    } while (0)

static uint64_t PlayToEnd(Demuxer* d, ByteStream* s, uint8_t* buffer, int32_t capacity, uint64_t* frames) {
    uint64_t bytes = 0;
    *frames = 0;
    for (int idle = 0; idle < 2;) {
        int32_t n = d->ops->ReadFrame(d, buffer, capacity);
        if (n >= 0) {
            bytes += (uint64_t)n;
            ++*frames;
            idle = 0;
        } else if (s->pos >= s->size) {
            ++idle;
        }
    }
    return bytes;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: vq_c_host MODULE FILE AUDIO_BYTES\n");
        return 2;
    }
    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (module == NULL) {
        fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    Plugin* (*getPlugin)(void);
    *(void**)&getPlugin = dlsym(module, "vqGetPlugin");
    CHECK(getPlugin != NULL);
    if (getPlugin == NULL)
        return 1;

    Plugin* plugin = getPlugin();
    CHECK(plugin->ops->GetPluginType(plugin) == 2);
    const uint16_t wma[] = {'w', 'm', 'a', 0};
    const uint16_t upper[] = {'W', 'M', 'A', 0};
    CHECK(plugin->ops->SupportsExtension(plugin, wma));
    CHECK(!plugin->ops->SupportsExtension(plugin, upper));
    Demuxer* demuxer = plugin->ops->CreateDemuxer(plugin);
    plugin->ops->Release(plugin);

    FILE* f = fopen(argv[2], "rb");
    if (f == NULL) {
        perror(argv[2]);
        return 1;
    }
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fseek(f, 0, SEEK_SET);
    uint8_t* data = malloc((size_t)size);
    if (data == NULL || fread(data, 1, (size_t)size, f) != (size_t)size)
        return 1;
    fclose(f);
    ByteStream stream = {&kStreamOps, data, size, 0};

    const MediaInfo* info = demuxer->ops->GetMediaInfo(demuxer);
    CHECK(info->channels == 0 && info->extraData == NULL);
    CHECK(demuxer->ops->Open(demuxer, &stream));
    CHECK(demuxer->ops->GetMediaInfo(demuxer) == info);
    CHECK(info->codecKind == 5 && info->formatTag == 0x0161);
    CHECK(info->channels == 2 && info->sampleRate == 44100 && info->bitsPerSample == 16);
    CHECK(info->extraSize == 10 && info->extraData != NULL);
    CHECK(info->duration > 4.0 && info->duration < 5.5);

    static uint8_t buffer[1 << 16];
    uint64_t frames = 0;
    const uint64_t expected = strtoull(argv[3], NULL, 10);
    const uint64_t bytes = PlayToEnd(demuxer, &stream, buffer, (int32_t)sizeof buffer, &frames);
    CHECK(bytes == expected);
    CHECK(frames > 0);

    double seconds = 0.0;
    demuxer->ops->Seek(demuxer, &seconds);
    CHECK(seconds == 0.0);
    uint64_t again = 0;
    CHECK(PlayToEnd(demuxer, &stream, buffer, (int32_t)sizeof buffer, &again) == expected);
    CHECK(again == frames);

    demuxer->ops->Close(demuxer);
    CHECK(info->channels == 0 && info->extraData == NULL && info->duration == 0.0);
    demuxer->ops->Release(demuxer);
    free(data);
    dlclose(module);
    if (failures == 0)
        printf("C host: %llu frames, %llu bytes\n", (unsigned long long)frames, (unsigned long long)bytes);
    return failures == 0 ? 0 : 1;
}
