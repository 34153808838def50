#pragma once

#include <csignal>

#include <sys/resource.h>

// Lowers one of the process's limits (RLIMIT_NOFILE, RLIMIT_FSIZE, ...) for as long as it lives.
class ResourceLimit {
public:
    ResourceLimit(int resource, rlim_t limit) : resource(resource)
    {
        getrlimit(resource, &before);
        rlimit lowered = before;
        lowered.rlim_cur = limit;
        setrlimit(resource, &lowered);
    }
    ~ResourceLimit() { setrlimit(resource, &before); }
    ResourceLimit(const ResourceLimit &) = delete;
    ResourceLimit &operator=(const ResourceLimit &) = delete;

private:
    int resource;
    rlimit before {};
};

// Makes writes fail part-way, as a full disk would: files may not grow beyond `bytes`, and a write
// past that fails with EFBIG instead of ending the process with SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
        : previousHandler(std::signal(SIGXFSZ, SIG_IGN)), limit(RLIMIT_FSIZE, bytes)
    {
    }
    ~FileSizeLimit() { std::signal(SIGXFSZ, previousHandler); }

private:
    void (*previousHandler)(int);
    ResourceLimit limit;
};
