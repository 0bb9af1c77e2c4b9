// A folder made for one test and removed after it. Names are UTF-8 with '/' between folders, in both trees.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SheetTree {
 public:
  SheetTree();
  ~SheetTree();
  SheetTree(const SheetTree&) = delete;
  SheetTree& operator=(const SheetTree&) = delete;

  const std::string& Root() const { return m_root; }
  // The full path of `name`, with the system's separators.
  std::string PathOf(const std::string& name) const;
  void Write(const std::string& name, const std::string& bytes) const;
  void MakeFolder(const std::string& name) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // The modification time in the system's finest unit.
  std::int64_t ModifiedTime(const std::string& name) const;
  // Moves the modification time an hour back, so that a rewrite cannot keep it by chance.
  void Age(const std::string& name) const;
  void SetReadOnly(const std::string& name) const;
  // Every file below the root, relative names, sorted.
  std::vector<std::string> Files() const;

  // Holds the file as another program would: natively an advisory lock, on Windows a handle sharing nothing.
  class Lock {
   public:
    virtual ~Lock() = default;
  };
  std::unique_ptr<Lock> Hold(const std::string& name) const;

#ifdef _WIN32
  static std::wstring Wide(const std::string& utf8);
#endif

 private:
  void ListInto(const std::string& prefix, std::vector<std::string>& files) const;
  std::string m_root;
};
