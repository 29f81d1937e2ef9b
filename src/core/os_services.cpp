#include "core/os_services.h"

#include <cstdio>

namespace torvane {
namespace {

void printMessageBox(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void ignoreQuitMessage() {}

OsServices currentServices{printMessageBox, ignoreQuitMessage};

} // namespace

OsServices installOsServices(OsServices services)
{
    const OsServices previous = currentServices;
    currentServices = services;
    return previous;
}

void showMessageBox(const char* caption, const char* text)
{
    currentServices.showMessageBox(caption, text);
}

void postQuitMessage()
{
    currentServices.postQuitMessage();
}

} // namespace torvane
