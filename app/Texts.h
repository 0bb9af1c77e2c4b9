// The program's own texts (GBK at run time).
#pragma once

namespace Texts {

inline constexpr const char* kChoiceNone = "（请选择）";

inline constexpr const char* kNoteRecognised = "已识别：";
inline constexpr const char* kNoteReadable = "已是可读文本";
inline constexpr const char* kNoteMaybe = "可能是：";
inline constexpr const char* kNoteTryEach = "请逐一尝试";

inline constexpr const char* kTargetGbk = "GBK";
inline constexpr const char* kTargetUtf8Bom = "UTF-8（带BOM）";
inline constexpr const char* kTargetUtf8 = "UTF-8";

inline constexpr const char* kHintStart = "提示：当前系统环境不支持";
inline constexpr const char* kJoin = "、";
inline constexpr const char* kHintEnd = "，请通过IE和控制面板进行设置。";

inline constexpr const char* kSaveNoPath = "请先选择需要转码的cue文件。";
inline constexpr const char* kSaveEmpty = "文件内容为空，无法保存。";
inline constexpr const char* kSaveConfirm = "你确信你想以当前效果保存此文件吗？";
// The offset of the file's first NUL, counted from 1, and the bytes from there to the end.
inline constexpr const char* kSaveCutAtNul =
    "文件的第 %u 个字节是 NUL，保存将只写入它之前的文本，其后的 %u 个字节会丢失。\r\n仍要保存吗？";
inline constexpr const char* kSaveDone = "文件保存成功。";
inline constexpr const char* kSaveFailed = "文件保存失败。请检查文件是否是只读的。";

inline constexpr const char* kChooserTitle = "选择文件";
inline constexpr const char* kChooserFilter =
    "Supported Files(*.cue;*.txt)|*.cue;*.txt|Text Files(*.txt)|*.txt|Cue Files(*.cue)|*.cue|All Files(*.*)|*.*||";

}  // namespace Texts
