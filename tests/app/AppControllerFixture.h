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

    // A theme file whose sample (key 254 down) speaks the theme's name.
    void addTheme(const std::string& name) {
        const std::string path = "/b/KeySoundThemes/" + name + ".plnk";
        fake.bundle.addResource("KeySoundThemes", name, "plnk", path);
        fake.archives.addThemeFile(path, name);
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
