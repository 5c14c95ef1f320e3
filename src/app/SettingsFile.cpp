#include "app/SettingsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

const char* const FILE_NAME = "settings.ini";
const char* const GAME_FOLDER = "marrowdeep";
// A settings file is a few hundred bytes; anything far larger is not one, and is not read in whole.
constexpr std::uintmax_t LARGEST_FILE = 64 * 1024;

// A variable's value when it is set and not empty.
std::optional<fs::path> fromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || *value == '\0')
        return std::nullopt;
    return fs::path(value);
}

std::string systemError()
{
    return std::strerror(errno);
}

// Writes all of the text to the open file and flushes it to the disk.
bool writeAll(int file, const std::string& text)
{
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = ::write(file, text.data() + written, text.size() - written);
        if (count < 0 && errno != EINTR)
            return false;
        written += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    return ::fsync(file) == 0;
}

// Removes the new file that could not take the old one's place, and says why.
bool abandon(const std::string& temporary, std::string& problem)
{
    problem = systemError();
    ::unlink(temporary.c_str());
    return false;
}

} // namespace

std::optional<SettingsFile> SettingsFile::ofPlayer()
{
    std::optional<fs::path> config = fromEnvironment("XDG_CONFIG_HOME");
    // The XDG rules pass over a relative path: it would name a folder below wherever the game runs.
    if (!config || config->is_relative()) {
        const std::optional<fs::path> home = fromEnvironment("HOME");
        if (!home)
            return std::nullopt;
        config = *home / ".config";
    }
    return SettingsFile(*config / GAME_FOLDER / FILE_NAME);
}

std::optional<std::string> SettingsFile::read(std::string& problem) const
{
    problem.clear();
    std::error_code error;
    const fs::file_status status = fs::status(where, error);
    if (status.type() == fs::file_type::not_found)
        return std::nullopt;
    if (!fs::is_regular_file(status)) {
        problem = error ? error.message() : "not a file";
        return std::nullopt;
    }
    if (fs::file_size(where, error) > LARGEST_FILE) {
        problem = "far too large for settings";
        return std::nullopt;
    }
    std::ifstream file(where, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        problem = systemError();
        return std::nullopt;
    }
    return text;
}

bool SettingsFile::write(const std::string& text, std::string& problem) const
{
    std::error_code error;
    fs::create_directories(where.parent_path(), error);
    if (error) {
        problem = error.message();
        return false;
    }
    std::string temporary = where.string() + ".XXXXXX";
    const int file = ::mkstemp(temporary.data());
    if (file < 0) {
        problem = systemError();
        return false;
    }
    if (!writeAll(file, text)) {
        const int writeError = errno;
        ::close(file);
        errno = writeError;
        return abandon(temporary, problem);
    }
    if (::close(file) != 0 || ::rename(temporary.c_str(), where.c_str()) != 0)
        return abandon(temporary, problem);
    return true;
}
