// Test helper for the plug-in manager: a temporary plug-in folder holding copies of the
// fake modules (built into test-plugins/ beside bin/) and files that are no plug-ins,
// loaded with FTzInit for the fixture's lifetime.
#pragma once

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <string>

#include "formats/manager/plugin_manager.h"
#include "tests/base/temp_folder.h"

// Where the build puts the fake modules.
inline std::filesystem::path TestPlugInModules()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "test-plugins";
}

class PlugInFolder : public ::testing::Test {
protected:
    // Loaded in the order reader, urgent writer, writer, second writer: the reader's
    // format code ranks first, the urgent writer's priority ranks before the default,
    // and the two plain writers keep their file names' order.
    void SetUp() override
    {
        Copy("fake_reader.so", "a_reader.so");
        Copy("fake_writer.so", "b_writer.so");
        Copy("fake_writer.so", "c_writer.so");
        Copy("fake_writer_urgent.so", "d_urgent.so");
        Copy("refused_too_new.so", "e_too_new.so");
        Copy("refused_no_version.so", "f_no_version.so");
        folder.Write("0_junk.so", "not a module");
        folder.Write("notes.txt", "plain text");
        std::filesystem::create_directory(folder.Item("sub"));
        std::filesystem::copy_file(TestPlugInModules() / "fake_reader.so", folder.Item("sub/z_reader.so"));
        const _tagPTzFILE record = folder.Record();
        list = FTzInit(&record);
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override { FTzUninit(list); }

    void Copy(const std::string& module, const std::string& name)
    {
        std::filesystem::copy_file(TestPlugInModules() / module, folder.Item(name));
    }

    // The handle of a module of the folder while it is loaded, else null.
    void* Loaded(const std::string& name) const
    {
        void* module = dlopen(folder.Item(name).c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (module)
            dlclose(module);
        return module;
    }

    void* Reader() const { return Loaded("a_reader.so"); }
    void* Writer() const { return Loaded("b_writer.so"); }

    TempFolder folder;
    void* list = nullptr;
};
