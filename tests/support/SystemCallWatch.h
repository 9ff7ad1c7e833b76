#pragma once

#include <functional>
#include <string>
#include <vector>

// The test program's own write, ftruncate, fsync, close, rename, fchown,
// flock and flistxattr/fgetxattr/fsetxattr. Defined in the program, they stand in for
// the C library's everywhere in it and pass each call on to the next
// definition (dlsym RTLD_NEXT: AddressSanitizer's interceptor, then the
// library's); while a SystemCallWatch lives, they record the calls made on
// the files of one folder and fail or precede with an action those a test
// asks for. Linux only (a descriptor's path comes from /proc/self/fd);
// linked into the core tests alone.
class SystemCallWatch
{
public:
    // Watches the files in `folder` itself. In the record the file at
    // `target` (also once a rename took its name away) is "target", the
    // folder "folder", any other file in it "new1", "new2"... in the order
    // they turn up.
    SystemCallWatch (const std::string& folder, const std::string& target);
    ~SystemCallWatch();

    // The next `call` ("fsync") on the file `on` ("new1"), or for an
    // attribute call on an attribute whose name starts with `on`, fails with
    // `error`; a failed close still closes, as Linux's does. `times` < 0:
    // every such call.
    void fail (const std::string& call, const std::string& on, int error, int times = 1);

    // `action` runs just before the next such call is made.
    void before (const std::string& call, const std::string& on, std::function<void()> action);

    // "write new1", "fsync new1", "rename new1" (its source), ...: a run of
    // one call on one file is recorded once.
    std::vector<std::string> calls() const;

    SystemCallWatch (const SystemCallWatch&) = delete;
    SystemCallWatch& operator= (const SystemCallWatch&) = delete;
};
