// A private temporary folder for a test's files, removed with everything in it at the end; reading a file back.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

class CTempFolder {
 public:
  CTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vexmira-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~CTempFolder() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
  }
  CTempFolder(const CTempFolder&) = delete;
  CTempFolder& operator=(const CTempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The path of `name` inside the folder.
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// The whole file at `path` as text, or as bytes: ReadFile<std::vector<std::uint8_t>>(path).
template <class T = std::string>
T ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return T(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
