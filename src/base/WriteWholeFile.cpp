#include "base/WriteWholeFile.h"

#include <fstream>
#include <system_error>

namespace veltrap {

bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes,
                    std::string& error) {
    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            error = "cannot write " + path.string();
            return false;
        }
    }
    std::error_code renamed;
    std::filesystem::rename(partial, path, renamed);
    if (renamed) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        error = "cannot write " + path.string() + ": " + renamed.message();
        return false;
    }
    return true;
}

}  // namespace veltrap
