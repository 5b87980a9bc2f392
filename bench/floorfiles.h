// What both floors do the same way: the frames are the folder's files with one extension, in the
// order a case-blind comparison gives, each read with one read straight after its open; any
// failure ends the program with the file's name and the system's reason.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

[[noreturn]] inline void fail(const std::string &what)
{
    std::fprintf(stderr, "%s: %s: %s\n", program_invocation_short_name, what.c_str(),
                 std::strerror(errno));
    std::exit(2);
}

// extension with its dot, as ".bmp".
inline std::vector<std::string> frameNames(const std::string &folder, const char *extension)
{
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        fail(folder);
    const std::size_t extensionLength = std::strlen(extension);
    std::vector<std::string> names;
    while (const dirent *entry = readdir(dir)) {
        const std::size_t length = std::strlen(entry->d_name);
        if (length > extensionLength
            && strcasecmp(entry->d_name + length - extensionLength, extension) == 0)
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

// Reads the whole file into buffer, grown when too small, with one read; returns its size.
inline std::size_t readFile(const std::string &path, std::vector<unsigned char> &buffer)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(path);
    struct stat info = {};
    if (fstat(fd, &info) != 0)
        fail(path);
    const auto size = std::size_t(info.st_size);
    if (buffer.size() < size)
        buffer.resize(size);
    if (read(fd, buffer.data(), size) != ssize_t(size))
        fail(path);
    close(fd);
    return size;
}
