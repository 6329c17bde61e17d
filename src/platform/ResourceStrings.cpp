#include "platform/ResourceStrings.h"

#include <unordered_map>

namespace vireo {

namespace {

std::unordered_map<int, std::string> buildTable() {
    std::unordered_map<int, std::string> t{
        {1000, "https://larkspur.example/vireo/"},
        {1001, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        // Play/stop buttons and the playing readout.
        {1020, "クリックすると音楽を停止"},
        {1021, "再生"},
        {1022, "停止"},
        {1023, "一時停止"},
        {1024, "再開"},
        {1025, "4"},
        {1026, "<"},
        {1027, "Webdings"},
        // Scale names, by ClockMode.
        {1050, "地方標準時"},
        {1051, "協定世界時"},
        {1052, "地方平時"},
        {1053, "真太陽時"},
        {1054, "地方恒星時"},
        {1055, "グリニッジ恒星時"},
        {1056, "天保暦"},
        {1057, "延喜式"},
    };
    // Twelve-hour numerals "12", "1" .. "11"; twenty-four-hour "0", "2" .. "22".
    t[1100] = "12";
    for (int i = 1; i < 12; ++i) t[1100 + i] = std::to_string(i);
    for (int i = 0; i < 12; ++i) t[1120 + i] = std::to_string(2 * i);
    const char* branches[12] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
    for (int i = 0; i < 12; ++i) t[1140 + i] = branches[i];
    const char* counts[6] = {"九", "八", "七", "六", "五", "四"};
    for (int i = 0; i < 6; ++i) t[1160 + i] = counts[i];
    const char* hours[12] = {"暁九時", "暁八時", "暁七時", "明六時", "朝五時", "朝四時",
                             "昼九時", "昼八時", "夕七時", "暮六時", "夜五時", "夜四時"};
    for (int i = 0; i < 12; ++i) t[1200 + i] = hours[i];
    const char* koku[4] = {"一刻", "二刻", "三刻", "四刻"};
    for (int i = 0; i < 4; ++i) t[1220 + i] = koku[i];
    const char* bun[10] = {"零分", "一分", "二分", "三分", "四分", "半", "六分", "七分", "八分", "九分"};
    for (int i = 0; i < 10; ++i) t[1230 + i] = bun[i];
    return t;
}

}  // namespace

const std::string& LoadResString(int id) {
    static const std::unordered_map<int, std::string> table = buildTable();
    static const std::string empty;
    auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

}  // namespace vireo
