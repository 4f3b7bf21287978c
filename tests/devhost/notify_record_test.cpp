// The stand-in shell's decoder of Wine's tray records: records built here
// byte by byte in the layouts Wine 8 and Wine 10 send, whole or damaged.
#include "devhost/systray/notify_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Where the fields lie in each layout; hWnd, uID, uFlags and
// uCallbackMessage at 0, 4, 8 and 12 in both.
struct Offsets {
    size_t size, tip, state, version, icon, balloon;
};
constexpr Offsets WINE_8 = {960, 16, 272, 792, 944, 0};
constexpr Offsets WINE_10 = {976, 32, 288, 808, 16, 960};

constexpr uint32_t NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4, NIF_STATE = 8;

class Record {
public:
    explicit Record(const Offsets& layout) : layout_(layout), bytes_(layout.size, 0) {
        Put(0, 0x1004a);
        Put(4, 7);
    }
    Record& Flags(uint32_t flags) { return Put(8, flags); }
    Record& Callback(uint32_t message) { return Put(12, message); }
    Record& State(uint32_t state, uint32_t mask) {
        Put(layout_.state, state);
        return Put(layout_.state + 4, mask);
    }
    Record& Version(uint32_t version) { return Put(layout_.version, version); }
    Record& Tip(const std::u16string& tip) {
        std::memcpy(bytes_.data() + layout_.tip, tip.data(), tip.size() * 2);
        return *this;
    }
    // The icon's size and, after the record, as many bits as Wine sends.
    Record& Icon(uint32_t width, uint32_t height, uint32_t bpp) {
        SetIcon(layout_.icon, width, height, bpp);
        const size_t pixels = size_t{width} * height;
        bits_.resize((pixels + 15) / 16 * 2, 0xf0);                       // the mask
        bits_.resize(bits_.size() + (pixels * bpp + 15) / 16 * 2, 0x0c);  // the colours
        return *this;
    }
    Record& BalloonIcon(uint32_t side) {
        SetIcon(layout_.balloon, side, side, 32);
        balloon_bits_.assign((side * side + 15) / 16 * 2 + side * side * 4, 0x33);
        return *this;
    }
    Record& Put(size_t offset, uint32_t value) {
        std::memcpy(bytes_.data() + offset, &value, sizeof value);
        return *this;
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> all = bytes_;
        all.insert(all.end(), bits_.begin(), bits_.end());
        all.insert(all.end(), balloon_bits_.begin(), balloon_bits_.end());
        return all;
    }

private:
    void SetIcon(size_t offset, uint32_t width, uint32_t height, uint32_t bpp) {
        Put(offset, width);
        Put(offset + 4, height);
        Put(offset + 8, 1);
        Put(offset + 12, bpp);
    }
    Offsets layout_;
    std::vector<uint8_t> bytes_, bits_, balloon_bits_;
};

bool Decode(const std::vector<uint8_t>& bytes, int wine_major, NotifyRecord* record) {
    return DecodeNotifyRecord(bytes.data(), bytes.size(), wine_major, record) == 1;
}

std::u16string Tip(const NotifyRecord& record) {
    std::u16string tip;
    for (const uint16_t* c = record.tip; *c; ++c) tip += static_cast<char16_t>(*c);
    return tip;
}

TEST(NotifyRecord, AWine8RecordWithEveryFieldAndA32BitIcon) {
    const std::vector<uint8_t> bytes = Record(WINE_8)
                                           .Flags(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE)
                                           .Callback(0x8040)
                                           .Tip(u"Volume 40%\r\nMuted")
                                           .State(1, 1)
                                           .Icon(32, 32, 32)
                                           .Bytes();
    ASSERT_EQ(bytes.size(), 960u + 128 + 4096);  // what Wine 8 sends for a 32x32 icon
    NotifyRecord record;
    ASSERT_TRUE(Decode(bytes, 8, &record));
    EXPECT_EQ(record.owner, 0x1004au);
    EXPECT_EQ(record.id, 7u);
    EXPECT_EQ(record.flags, NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE);
    EXPECT_EQ(record.callback_message, 0x8040u);
    EXPECT_EQ(Tip(record), u"Volume 40%\r\nMuted");
    EXPECT_EQ(record.state, 1u);
    EXPECT_EQ(record.state_mask, 1u);
    EXPECT_EQ(record.icon.width, 32u);
    EXPECT_EQ(record.icon.bpp, 32u);
    EXPECT_EQ(record.icon.mask, bytes.data() + 960);
    EXPECT_EQ(record.icon.mask_size, 128u);
    EXPECT_EQ(record.icon.color, bytes.data() + 960 + 128);
    EXPECT_EQ(record.icon.color_size, 4096u);
}

TEST(NotifyRecord, TheVersionOfSetVersionAndRecordsWithoutAnIcon) {
    NotifyRecord record;
    ASSERT_TRUE(Decode(Record(WINE_8).Version(4).Bytes(), 8, &record));
    EXPECT_EQ(record.version, 4u);
    EXPECT_EQ(record.icon.width, 0u);
    // NIF_ICON with no bits: Wine could not read the program's icon.
    ASSERT_TRUE(Decode(Record(WINE_8).Flags(NIF_ICON).Bytes(), 8, &record));
    EXPECT_EQ(record.icon.width, 0u);
    // A monochrome icon: one bit a pixel, mask and image of the same size.
    ASSERT_TRUE(Decode(Record(WINE_8).Flags(NIF_ICON).Icon(16, 16, 1).Bytes(), 8, &record));
    EXPECT_EQ(record.icon.mask_size, 32u);
    EXPECT_EQ(record.icon.color_size, 32u);
}

TEST(NotifyRecord, AWine10RecordWithItsIconFirstAndABalloonIconLast) {
    const std::vector<uint8_t> bytes = Record(WINE_10)
                                           .Flags(NIF_ICON | NIF_TIP)
                                           .Tip(u"Ten")
                                           .Icon(16, 16, 32)
                                           .BalloonIcon(16)
                                           .Bytes();
    NotifyRecord record;
    ASSERT_TRUE(Decode(bytes, 10, &record));
    EXPECT_EQ(Tip(record), u"Ten");
    EXPECT_EQ(record.icon.width, 16u);
    EXPECT_EQ(record.icon.mask, bytes.data() + 976);
    // Each layout is taken only from the Wines that send it.
    EXPECT_FALSE(Decode(bytes, 8, &record));
    EXPECT_FALSE(Decode(Record(WINE_8).Bytes(), 10, &record));
}

TEST(NotifyRecord, AWine9RecordIsTakenInTheOneLayoutItFits) {
    NotifyRecord record;
    ASSERT_TRUE(Decode(Record(WINE_8).Flags(NIF_ICON).Icon(16, 16, 32).Bytes(), 9, &record));
    EXPECT_EQ(record.icon.mask_size, 32u);
    ASSERT_TRUE(Decode(Record(WINE_10).Flags(NIF_ICON).Icon(16, 16, 32).Bytes(), 9, &record));
    EXPECT_EQ(record.icon.mask_size, 32u);
}

TEST(NotifyRecord, ATipWithoutATerminatorIsCutAt127Characters) {
    std::u16string full(128, u'x');
    NotifyRecord record;
    ASSERT_TRUE(Decode(Record(WINE_8).Flags(NIF_TIP).Tip(full).Bytes(), 8, &record));
    EXPECT_EQ(Tip(record), std::u16string(127, u'x'));
    EXPECT_EQ(record.tip[127], 0);
}

TEST(NotifyRecord, DamagedRecordsAreRefusedAndLeaveTheRecordUntouched) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int wine;
    };
    std::vector<uint8_t> short_one = Record(WINE_8).Bytes();
    short_one.pop_back();
    std::vector<uint8_t> cut_bits = Record(WINE_8).Flags(NIF_ICON).Icon(32, 32, 32).Bytes();
    cut_bits.pop_back();
    std::vector<uint8_t> extra = Record(WINE_8).Bytes();
    extra.push_back(0);
    const Case cases[] = {
        {"empty", {}, 8},
        {"one byte short", short_one, 8},
        {"icon bits one byte short", cut_bits, 8},
        {"a byte too many", extra, 8},
        {"icon size without NIF_ICON", Record(WINE_8).Icon(16, 16, 32).Bytes(), 8},
        {"claimed 32x32, bits of 16x16",
         Record(WINE_8).Flags(NIF_ICON).Icon(16, 16, 32).Put(944, 32).Put(948, 32).Bytes(), 8},
        {"4000 pixels wide", Record(WINE_8).Flags(NIF_ICON).Icon(16, 16, 1).Put(944, 4000).Bytes(),
         8},
        {"height of 2^31",
         Record(WINE_8).Flags(NIF_ICON).Icon(16, 16, 1).Put(948, 1u << 31).Bytes(), 8},
        {"two planes", Record(WINE_8).Flags(NIF_ICON).Icon(16, 16, 32).Put(952, 2).Bytes(), 8},
        {"7 bits a pixel", Record(WINE_8).Flags(NIF_ICON).Icon(16, 16, 32).Put(956, 7).Bytes(), 8},
        {"not Wine", Record(WINE_8).Bytes(), 0},
    };
    for (const Case& c : cases) {
        NotifyRecord record;
        std::memset(&record, 0xa5, sizeof record);
        const NotifyRecord before = record;
        EXPECT_FALSE(Decode(c.bytes, c.wine, &record)) << c.what;
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << c.what;
    }
    EXPECT_EQ(DecodeNotifyRecord(nullptr, 960, 8, nullptr), 0);
}

TEST(NotifyRecord, WineVersionsAreReadByTheirMajorNumber) {
    EXPECT_EQ(WineMajorVersion("8.0"), 8);
    EXPECT_EQ(WineMajorVersion("10.2"), 10);
    EXPECT_EQ(WineMajorVersion("9.0-rc3"), 9);
    EXPECT_EQ(WineMajorVersion(""), 0);
    EXPECT_EQ(WineMajorVersion("wine"), 0);
    EXPECT_EQ(WineMajorVersion(nullptr), 0);
}

}  // namespace
