#include "device/installer/cabinet_reader.h"

#include <fcntl.h>
#include <fdi.h>
#include <stdlib.h>

namespace {

// What FDI's handles stand for: the cabinet, read from its file, or one of
// its files, written into memory.
struct Stream {
    HANDLE file;
    std::string* memory;
};

Stream* StreamOf(INT_PTR handle)
{
    return reinterpret_cast<Stream*>(handle);
}

FNALLOC(Allocate)
{
    return malloc(cb);
}

FNFREE(Free)
{
    free(pv);
}

FNOPEN(OpenCabinet)
{
    (void)oflag;
    (void)pmode;
    HANDLE file = CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    return reinterpret_cast<INT_PTR>(new Stream{file, nullptr});
}

FNREAD(Read)
{
    DWORD read = 0;
    Stream* stream = StreamOf(hf);
    if (!stream->file || !ReadFile(stream->file, pv, cb, &read, nullptr))
        return static_cast<UINT>(-1);
    return read;
}

FNWRITE(Write)
{
    Stream* stream = StreamOf(hf);
    if (!stream->memory)
        return static_cast<UINT>(-1);
    stream->memory->append(static_cast<const char*>(pv), cb);
    return cb;
}

FNCLOSE(Close)
{
    Stream* stream = StreamOf(hf);
    if (stream->file)
        CloseHandle(stream->file);
    delete stream;
    return 0;
}

FNSEEK(Seek)
{
    static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    Stream* stream = StreamOf(hf);
    if (!stream->file || seektype < 0 || seektype > 2)
        return -1;
    return SetFilePointer(stream->file, dist, nullptr, kMethods[seektype]);
}

// The cabinet's files as FDI hands them out, and their sizes as the
// cabinet states them.
struct Extraction {
    CabinetFiles files;
    std::map<std::string, ULONG> sizes;
};

FNFDINOTIFY(Notify)
{
    Extraction* extraction = static_cast<Extraction*>(pfdin->pv);
    switch (fdint) {
    case fdintCOPY_FILE: {
        const std::string name = pfdin->psz1;
        if (extraction->sizes.count(name))
            return -1;  // one name twice: which would we install?
        extraction->sizes[name] = pfdin->cb;
        return reinterpret_cast<INT_PTR>(new Stream{nullptr, &extraction->files[name]});
    }
    case fdintCLOSE_FILE_INFO:
        Close(pfdin->hf);
        return TRUE;
    default:
        return 0;
    }
}

std::string Ansi(const std::wstring& text)
{
    char ansi[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, sizeof(ansi) - 1, nullptr, nullptr);
    return ansi;
}

std::string Fault(const ERF& error)
{
    switch (error.erfOper) {
    case FDIERROR_CABINET_NOT_FOUND:
        return "cannot be read";
    case FDIERROR_NOT_A_CABINET:
    case FDIERROR_UNKNOWN_CABINET_VERSION:
        return "is not a cabinet";
    case FDIERROR_USER_ABORT:
        return "holds two files of one name";
    default:
        return "is a damaged or truncated cabinet";
    }
}

}  // namespace

CabinetFiles ReadCabinet(const std::wstring& path)
{
    const std::string name = Ansi(path);
    ERF error = {};
    HFDI fdi = FDICreate(Allocate, Free, OpenCabinet, Read, Write, Close, Seek, cpuUNKNOWN, &error);
    if (!fdi)
        throw SetupFault("the cabinet library could not start");
    // FDI joins a folder and a file name; the whole path is the name here.
    Extraction extraction;
    char folder[] = "";
    const BOOL copied = FDICopy(fdi, const_cast<char*>(name.c_str()), folder, 0, Notify, nullptr, &extraction);
    FDIDestroy(fdi);
    if (!copied)
        throw SetupFault("the file " + Fault(error));
    for (const auto& file : extraction.files)
        if (file.second.size() != extraction.sizes[file.first])
            throw SetupFault("the file is a damaged or truncated cabinet");
    return extraction.files;
}
