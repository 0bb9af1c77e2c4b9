// The program's own texts (GBK at run time).
#pragma once

namespace Texts {

inline constexpr const char* kChoiceNone = "（请选择）";
inline constexpr const char* kChoiceBig5 = "Big5繁体中文";
inline constexpr const char* kChoiceWestern = "特殊西欧字符";
inline constexpr const char* kChoiceShiftJis = "日文（Shift-JIS）";
inline constexpr const char* kChoiceUtf8 = "UTF-8";

inline constexpr const char* kHintStart = "提示：当前系统环境不支持";
inline constexpr const char* kHintJoin = "、";
inline constexpr const char* kHintEnd = "，请通过IE和控制面板进行设置。";

inline constexpr const char* kSaveNoPath = "请先选择需要转码的cue文件。";
inline constexpr const char* kSaveEmpty = "文件内容为空，无法保存。";
inline constexpr const char* kSaveConfirm = "你确信你想以当前效果保存此文件吗？";
inline constexpr const char* kSaveDone = "文件保存成功。";
inline constexpr const char* kSaveFailed = "文件保存失败。请检查文件是否是只读的。";

inline constexpr const char* kChooserTitle = "选择文件";
inline constexpr const char* kChooserFilter =
    "Supported Files(*.cue;*.txt)|*.cue;*.txt|Text Files(*.txt)|*.txt|Cue Files(*.cue)|*.cue|All Files(*.*)|*.*||";

}  // namespace Texts
