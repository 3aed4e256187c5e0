// The render node the program names to WebKit in place of WebKit's own GL probe, and that pages
// still draw with WebGL and a 2D canvas in the engine's views so set up.

#include <glib.h>
#include <gtest/gtest.h>

#include <fstream>

#include "browser/browser_fixture.h"
#include "browser/render_node.h"
#include "support/temp_dir.h"

namespace qrv::test {
namespace {

TEST(RenderNodeTest, TheFirstGpusNodeUnlessThePlayerOrTheDmabufRendererDecides) {
  TempDir dri;
  for (const char* name : {"card0", "card1", "renderD129", "renderD", "renderDx", "renderD128"}) {
    std::ofstream(dri.File(name)) << "";
  }
  EXPECT_EQ(FirstRenderNode(dri.path()), dri.File("renderD128"));
  EXPECT_EQ(RenderDeviceSetting(true, nullptr, dri.path()), dri.File("renderD128"));
  // The player's own choice, and the DMA-BUF renderer (which needs the GL driver in the program
  // anyway), leave the variable alone.
  EXPECT_EQ(RenderDeviceSetting(true, "/dev/dri/renderD129", dri.path()), "");
  EXPECT_EQ(RenderDeviceSetting(false, nullptr, dri.path()), "");

  // Without a render node (software rendering only), and without the folder.
  TempDir empty;
  std::ofstream(empty.File("card0")) << "";
  EXPECT_EQ(FirstRenderNode(empty.path()), "");
  EXPECT_EQ(RenderDeviceSetting(true, nullptr, empty.path()), kNoRenderNode);
  EXPECT_EQ(RenderDeviceSetting(true, nullptr, empty.File("missing")), kNoRenderNode);
}

class RenderNodeViewTest : public BrowserTest {};

TEST_F(RenderNodeViewTest, APageDrawsWithWebGlAndA2dCanvas) {
  // The engine has prepared the environment the web processes start with.
  ASSERT_NE(g_getenv(kRenderDeviceVariable), nullptr);
  server().SetPage("/drawing", Page{"<!DOCTYPE html><canvas id=gl width=64 height=64></canvas>"
                                    "<canvas id=c2 width=64 height=64></canvas>"});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/drawing")));
  const std::string drawn = RunScript(view, R"((function () {
    const gl = document.getElementById('gl').getContext('webgl');
    if (!gl) return 'no webgl';
    gl.clearColor(1, 0.6, 0.2, 1);
    gl.clear(gl.COLOR_BUFFER_BIT);
    const texel = new Uint8Array(4);
    gl.readPixels(32, 32, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, texel);
    const c2 = document.getElementById('c2').getContext('2d');
    c2.fillStyle = 'rgb(15, 28, 49)';
    c2.fillRect(0, 0, 64, 64);
    const pixel = c2.getImageData(32, 32, 1, 1).data;
    return 'webgl ' + Array.from(texel).join(',') + ' canvas ' + Array.from(pixel).join(',');
  })())");
  EXPECT_EQ(drawn, "webgl 255,153,51,255 canvas 15,28,49,255");
}

}  // namespace
}  // namespace qrv::test
