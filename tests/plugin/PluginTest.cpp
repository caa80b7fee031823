#include <gtest/gtest.h>

#include "plugin/IDemuxerPlugin.h"
#include "plugin/vqGetPlugin.h"
#include "tests/support/AsfWriter.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TestHelpers.h"

namespace {

using namespace asftest;

IDemuxerPlugin* AsDemuxerPlugin(IPlugin* plugin) {
    EXPECT_EQ(plugin->GetPluginType(), IPlugin::kDemuxerPlugin);
    return static_cast<IDemuxerPlugin*>(plugin);
}

TEST(PluginTest, EachCallMakesAnIndependentDemuxerPluginOfKind2) {
    IPlugin* first = vqGetPlugin();
    IPlugin* second = vqGetPlugin();
    ASSERT_NE(first, second);
    EXPECT_EQ(first->GetPluginType(), 2);
    EXPECT_EQ(first->GetPluginType(), 2);
    first->Release();
    IDemuxerPlugin* plugin = AsDemuxerPlugin(second);
    EXPECT_TRUE(plugin->SupportsExtension(u"wma"));
    DemuxerPtr demuxer(plugin->CreateDemuxer());
    EXPECT_NE(demuxer, nullptr);
    second->Release();
}

TEST(PluginTest, SupportsExtensionComparesTheFirstThreeCodeUnitsExactly) {
    IDemuxerPlugin* plugin = AsDemuxerPlugin(vqGetPlugin());
    struct Case {
        const char16_t* extension;
        bool accepted;
    };
    const Case cases[] = {
        {u"wmv", true},   {u"wma", true}, {u"wmvx", true}, {u"wma2", true}, {u"WMV", false}, {u"Wma", false},
        {u".wma", false}, {u"wm", false}, {u"w", false},   {u"", false},    {u"asf", false}, {u"wmb", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plugin->SupportsExtension(c.extension), c.accepted) << std::u16string(c.extension).size() << " units";
    }
    plugin->Release();
}

TEST(PluginTest, DemuxersAreIndependentAndOutliveTheirPlugin) {
    IDemuxerPlugin* plugin = AsDemuxerPlugin(vqGetPlugin());
    DemuxerPtr a(plugin->CreateDemuxer());
    DemuxerPtr b(plugin->CreateDemuxer());
    ASSERT_NE(a.get(), b.get());
    plugin->Release();

    MemoryStream stream(SimpleAudioFile(3));
    ASSERT_TRUE(a->Open(&stream));
    EXPECT_EQ(a->GetMediaInfo()->channels, 2u);
    EXPECT_EQ(b->GetMediaInfo()->channels, 0u);
    EXPECT_EQ(ReadAllFrames(*a, stream).size(), 3u);
}

}  // namespace
