#include "platform/ExtendedAttributes.h"

#include <cerrno>
#include <cstring>
#include <sys/types.h>
#include <sys/xattr.h>
#include <vector>

#ifdef __APPLE__
 #include <sys/acl.h>
#endif

namespace
{
   #ifdef __APPLE__
    ssize_t listNames (const char* path, char* names, size_t size)
    {
        return ::listxattr (path, names, size, XATTR_NOFOLLOW);
    }

    ssize_t getValue (const char* path, const char* name, char* value, size_t size)
    {
        return ::getxattr (path, name, value, size, 0, XATTR_NOFOLLOW);
    }

    int setValue (int file, const char* name, const char* value, size_t size)
    {
        return ::fsetxattr (file, name, value, size, 0, 0);
    }

    int removeValue (int, const char*)
    {
        return 0;
    }

    constexpr const char* accessAcl = nullptr;
   #else
    ssize_t listNames (const char* path, char* names, size_t size)
    {
        return ::llistxattr (path, names, size);
    }

    ssize_t getValue (const char* path, const char* name, char* value, size_t size)
    {
        return ::lgetxattr (path, name, value, size);
    }

    int setValue (int file, const char* name, const char* value, size_t size)
    {
        return ::fsetxattr (file, name, value, size, 0);
    }

    int removeValue (int file, const char* name)
    {
        return ::fremovexattr (file, name) == 0 || errno == ENODATA ? 0 : -1;
    }

    constexpr const char* accessAcl = "system.posix_acl_access";
   #endif

    bool notKept (int error)
    {
        return error == ENOTSUP || error == EOPNOTSUPP;
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
}

ExtendedAttributes::Copied ExtendedAttributes::copy (const std::string& from, int to)
{
    std::vector<char> names, value;

    // A file system without attributes has no ACLs either.
    if (! readWhole (names, [&] (char* list, size_t size) { return listNames (from.c_str(), list, size); }))
        return notKept (errno) ? Copied::all : Copied::allButAcl;

    names.push_back (0);
    auto result = Copied::all;
    bool hadAcl = false;

    for (size_t i = 0; i + 1 < names.size(); i += std::strlen (names.data() + i) + 1)
    {
        const char* name = names.data() + i;
        const bool isAcl = accessAcl != nullptr && std::strcmp (name, accessAcl) == 0;
        hadAcl = hadAcl || isAcl;

        // Gone meanwhile, or not the user's to read.
        if (! readWhole (value, [&] (char* v, size_t size) { return getValue (from.c_str(), name, v, size); }))
        {
            if (isAcl)
                result = Copied::allButAcl;

            continue;
        }

        if (setValue (to, name, value.data(), value.size()) == 0)
            continue;

        if (isAcl)
            result = Copied::allButAcl;
        else if (errno == ENOSPC || errno == EDQUOT || errno == EIO)
            return Copied::failed;
    }

    if (accessAcl != nullptr && ! hadAcl && removeValue (to, accessAcl) != 0 && ! notKept (errno))
        result = Copied::allButAcl;

   #ifdef __APPLE__
    // macOS keeps a file's ACL apart from its attributes. Its entries may
    // deny as well as allow, so one that is lost can grant more.
    if (auto acl = ::acl_get_link_np (from.c_str(), ACL_TYPE_EXTENDED))
    {
        if (::acl_set_fd_np (to, acl, ACL_TYPE_EXTENDED) != 0)
            result = Copied::allButAcl;

        ::acl_free (acl);
    }
    else if (errno != ENOENT && ! notKept (errno))
    {
        result = Copied::allButAcl;
    }
   #endif

    return result;
}
