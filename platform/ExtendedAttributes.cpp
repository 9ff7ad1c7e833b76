#include "platform/ExtendedAttributes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/types.h>
#include <sys/xattr.h>
#include <vector>

#ifdef __APPLE__
 #include <sys/acl.h>
#endif

namespace
{
   #ifdef __APPLE__
    ssize_t listNames (int file, char* names, size_t size)
    {
        return ::flistxattr (file, names, size, 0);
    }

    ssize_t getValue (int file, const char* name, char* value, size_t size)
    {
        return ::fgetxattr (file, name, value, size, 0, 0);
    }

    int setValue (int file, const char* name, const char* value, size_t size)
    {
        return ::fsetxattr (file, name, value, size, 0, 0);
    }

    int removeValue (int file, const char* name)
    {
        return ::fremovexattr (file, name, 0) == 0 || errno == ENOATTR ? 0 : -1;
    }

    bool isSystemLabel (const std::string& name)
    {
        return name == "com.apple.provenance";
    }

    // The ACL is no attribute on macOS.
    bool isAcl (const std::string&)
    {
        return false;
    }
   #else
    ssize_t listNames (int file, char* names, size_t size)
    {
        return ::flistxattr (file, names, size);
    }

    ssize_t getValue (int file, const char* name, char* value, size_t size)
    {
        return ::fgetxattr (file, name, value, size);
    }

    int setValue (int file, const char* name, const char* value, size_t size)
    {
        return ::fsetxattr (file, name, value, size, 0);
    }

    int removeValue (int file, const char* name)
    {
        return ::fremovexattr (file, name) == 0 || errno == ENODATA ? 0 : -1;
    }

    bool isSystemLabel (const std::string& name)
    {
        return name.rfind ("security.", 0) == 0;
    }

    bool isAcl (const std::string& name)
    {
        return name == "system.posix_acl_access";
    }
   #endif

    bool notKept (int error)
    {
        return error == ENOTSUP || error == EOPNOTSUPP;
    }

    // A full disk or an I/O error fails the copy, the ACL's included: taken
    // for an ACL left out, it would let the save succeed with the group bits
    // stripped.
    bool fileSystemFailed (int error)
    {
        return error == ENOSPC || error == EDQUOT || error == EIO;
    }

    // A list or a value, whose size can change between asking for it and
    // reading it.
    template <typename Read>
    bool readWhole (std::vector<char>& buffer, Read read)
    {
        for (int attempt = 0; attempt < 4; ++attempt)
        {
            const auto size = read (nullptr, 0);

            if (size < 0)
                return false;

            // One byte more than asked for: a read of nothing would only ask
            // for the size again.
            buffer.resize ((size_t) size + 1);
            const auto got = read (buffer.data(), buffer.size());

            if (got >= 0)
            {
                buffer.resize ((size_t) got);
                return true;
            }

            if (errno != ERANGE)
                return false;
        }

        return false;
    }

    // The names of the open file's attributes; false when they cannot be
    // read (errno says why).
    bool namesOf (int file, std::vector<std::string>& names)
    {
        std::vector<char> list;
        names.clear();

        if (! readWhole (list, [&] (char* l, size_t size) { return listNames (file, l, size); }))
            return false;

        list.push_back (0);

        for (size_t i = 0; i + 1 < list.size(); i += std::strlen (list.data() + i) + 1)
            names.emplace_back (list.data() + i);

        return true;
    }

   #ifdef __APPLE__
    // Its entries may deny as well as allow, so one that is lost can grant
    // more; an empty one takes away what `to` took from its folder.
    bool copyAcl (int from, int to)
    {
        auto acl = ::acl_get_fd_np (from, ACL_TYPE_EXTENDED);
        const bool none = acl == nullptr;

        if (none && errno != ENOENT)
            return notKept (errno);

        if (none)
            acl = ::acl_init (0);

        if (acl == nullptr)
            return false;

        const bool set = ::acl_set_fd_np (to, acl, ACL_TYPE_EXTENDED) == 0 || (none && notKept (errno));
        ::acl_free (acl);
        return set;
    }
   #endif
}

ExtendedAttributes::Copied ExtendedAttributes::copy (int from, int to)
{
    std::vector<std::string> names, present;
    std::vector<char> value;
    auto result = Copied::all;

    // A file system without attributes has no ACLs either.
    if (! namesOf (from, names))
    {
        if (fileSystemFailed (errno))
            return Copied::failed;

        result = notKept (errno) ? Copied::all : Copied::allButAcl;
    }

    for (const auto& name : names)
    {
        // Gone meanwhile, or not the user's to read.
        if (! readWhole (value, [&] (char* v, size_t size) { return getValue (from, name.c_str(), v, size); }))
        {
            if (fileSystemFailed (errno))
                return Copied::failed;

            if (isAcl (name))
                result = Copied::allButAcl;

            continue;
        }

        if (setValue (to, name.c_str(), value.data(), value.size()) == 0)
            continue;

        if (fileSystemFailed (errno))
            return Copied::failed;

        if (isAcl (name))
            result = Copied::allButAcl;
    }

    // Whether `to` took an ACL from its folder cannot be told when its list
    // cannot be read.
    if (! namesOf (to, present))
    {
        if (fileSystemFailed (errno))
            return Copied::failed;

        if (! notKept (errno))
            result = Copied::allButAcl;
    }

    for (const auto& name : present)
    {
        const bool lacked = std::find (names.begin(), names.end(), name) == names.end();

        if (lacked && ! isSystemLabel (name) && removeValue (to, name.c_str()) != 0 && isAcl (name))
            result = Copied::allButAcl;
    }

   #ifdef __APPLE__
    if (! copyAcl (from, to) && result == Copied::all)
        result = Copied::allButAcl;
   #endif

    return result;
}
