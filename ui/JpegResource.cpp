#include "ui/JpegResource.h"

#include <windows.h>

std::unique_ptr<TJPEGImage> LoadJpegResource(const std::string& name)
{
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC info = FindResourceA(module, name.c_str(), "JPEG");
    const HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        throw EJPEG("Resource " + name + " not found");
    TMemoryStream stream;
    stream.WriteBuffer(bytes, SizeofResource(module, info));
    stream.SetPosition(0);
    auto image = std::make_unique<TJPEGImage>();
    image->LoadFromStream(stream);
    return image;
}
