#pragma once
// JPEG pictures kept in the program's resources (resource type "JPEG").
#include "framework/Jpeg.h"

#include <memory>
#include <string>

// Raises EJPEG when the resource is missing or its data is no JPEG.
std::unique_ptr<TJPEGImage> LoadJpegResource(const std::string& name);
