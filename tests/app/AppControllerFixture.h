#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/AppController.h"
#include "base/Menu.h"
#include "doubles/FakeDesktop.h"
#include "doubles/FakePlatform.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"

namespace plinka::testing {

// An application controller over doubles, with theme files the test adds.
class AppControllerFixture : public ::testing::Test {
  protected:
    AppControllerFixture() {
        fake.bundle.info = Object::dictionary(
            {{Object::string("CFBundleIdentifier"), Object::string("org.plinka.Plinka")},
             {Object::string("CFBundleName"), Object::string("Plinka")},
             {Object::string("PLKHelpHost"), Object::string("help.example.org")}});
        fake.bundle.addResource("", "silence", "wav", "/b/silence.wav");
    }
    ~AppControllerFixture() override { controller.stopEventTapThread(); }

    // A theme file whose sample (key 254 down) speaks the theme's name, whose listed keys speak
    // their key codes, and whose left mouse button speaks the name with " click".
    void addTheme(const std::string& name, const std::vector<int>& keys = {},
                  const std::string& path = {}) {
        const std::string file = path.empty() ? "/b/KeySoundThemes/" + name + ".plnk" : path;
        if (path.empty()) {
            fake.bundle.addResource("KeySoundThemes", name, "plnk", file);
        }
        Object::Array down(SoundTheme::kSlotCount, Object::null());
        down[254] = Object::string(name);
        for (int key : keys) {
            down[static_cast<size_t>(key)] = Object::string(std::to_string(key));
        }
        const Object mouseDown = Object::array({Object::string(name + " click")});
        fake.archives.addRecordFile(
            file, "SoundTheme",
            Object::dictionary(
                {{Object::string("sounds"),
                  Object::array({Object::array(down), Object::array(down)})},
                 {Object::string("mouseSounds"), Object::array({mouseDown, mouseDown})},
                 {Object::string("name"), Object::string(name)}}));
    }
    // The titles of the open menu, with "*" before checked items and "(alt)" after alternates.
    std::vector<std::string> openMenu() {
        std::vector<std::string> titles;
        for (const MenuItem& item : desktop.statusBar.open()) {
            titles.push_back(item.separator ? "---"
                                            : (item.state == 1 ? "*" : "") + item.title +
                                                  (item.alternate ? " (alt)" : ""));
        }
        return titles;
    }
    const MenuItem& menuItem(const std::string& title) {
        for (const MenuItem& item : desktop.statusBar.only()->menu()->items()) {
            if (item.title == title) {
                return item;
            }
        }
        throw std::runtime_error("no menu item " + title);
    }
    std::vector<std::string> spoken() const { return fake.speech.synthesizers.back()->spoken; }

    FakePlatform fake;
    FakeDesktop desktop{fake.platform};
    AudioKeepAlive keepAlive{fake.platform};
    SoundController sounds{fake.platform, keepAlive};
    AppController controller{fake.platform, desktop.services, sounds};
};

}  // namespace plinka::testing
