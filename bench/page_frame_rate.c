/* How fast a game page that draws with WebGL and with a 2D canvas runs in a WebKitGTK view set up
 * as the launcher's are (the DMA-BUF renderer off, the GPU's render node named to WebKit as
 * src/browser/render_node.h says, a GtkFixed holding the view in a toplevel):
 * the page counts its animation frames for five seconds and reports them in its title, which is
 * printed as "frames-per-second webgl=<n> canvas=<n> webgl-context=<yes|no>". bench/startup.sh
 * runs it with and without GDK_GL=disable to see whether the launcher's own process can do
 * without GTK's GL. */
#include <gtk/gtk.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <webkit2/webkit2.h>

static const char kPage[] =
    "<!DOCTYPE html><html><body style='margin:0'>"
    "<canvas id=gl width=480 height=360></canvas><canvas id=c2 width=480 height=360></canvas><script>"
    "const gl = document.getElementById('gl').getContext('webgl');"
    "const c2 = document.getElementById('c2').getContext('2d');"
    "let prog = null;"
    "if (gl) {"
    "  const vs = gl.createShader(gl.VERTEX_SHADER);"
    "  gl.shaderSource(vs, 'attribute vec2 p; uniform float t; void main() {"
    "    float c = cos(t), s = sin(t); gl_Position = vec4(c*p.x - s*p.y, s*p.x + c*p.y, 0.0, 1.0); }');"
    "  gl.compileShader(vs);"
    "  const fs = gl.createShader(gl.FRAGMENT_SHADER);"
    "  gl.shaderSource(fs, 'precision mediump float; void main() { gl_FragColor = vec4(0.9, 0.7, 0.3, 1.0); }');"
    "  gl.compileShader(fs);"
    "  prog = gl.createProgram(); gl.attachShader(prog, vs); gl.attachShader(prog, fs); gl.linkProgram(prog);"
    "  gl.useProgram(prog);"
    "  gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());"
    "  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([0,0.8, -0.7,-0.6, 0.7,-0.6]), gl.STATIC_DRAW);"
    "  const at = gl.getAttribLocation(prog, 'p'); gl.enableVertexAttribArray(at);"
    "  gl.vertexAttribPointer(at, 2, gl.FLOAT, false, 0, 0);"
    "}"
    "let frames = 0; const start = performance.now();"
    "function frame(now) {"
    "  const t = (now - start) / 1000;"
    "  if (gl) { gl.clearColor(0.06, 0.1, 0.2, 1); gl.clear(gl.COLOR_BUFFER_BIT);"
    "    gl.uniform1f(gl.getUniformLocation(prog, 't'), t); gl.drawArrays(gl.TRIANGLES, 0, 3); }"
    "  c2.fillStyle = '#0f1c31'; c2.fillRect(0, 0, 480, 360);"
    "  for (let i = 0; i < 200; ++i) { c2.fillStyle = 'hsl(' + ((i * 7 + t * 90) % 360) + ',70%,60%)';"
    "    c2.fillRect(240 + 200 * Math.cos(t + i), 180 + 150 * Math.sin(1.3 * t + i), 12, 12); }"
    "  ++frames;"
    "  if (now - start < 5000) { requestAnimationFrame(frame); return; }"
    "  const rate = (frames * 1000 / (now - start)).toFixed(1);"
    "  document.title = 'frames-per-second ' + rate + ' webgl-context=' + (gl ? 'yes' : 'no');"
    "}"
    "requestAnimationFrame(frame);"
    "</script></body></html>";

static void on_title(WebKitWebView *view, GParamSpec *spec, gpointer loop) {
  (void)spec;
  const char *title = webkit_web_view_get_title(view);
  if (title == NULL || strncmp(title, "frames-per-second", 17) != 0) return;
  printf("%s\n", title);
  fflush(stdout);
  g_main_loop_quit(loop);
}

static gboolean on_timeout(gpointer loop) {
  printf("frames-per-second 0 (the page reported nothing)\n");
  g_main_loop_quit(loop);
  return G_SOURCE_REMOVE;
}

/* The launcher's choice (FirstRenderNode, RenderDeviceSetting): the lowest-numbered render node
 * in /dev/dri, or a node no kernel makes when there is none. */
static void name_render_node(void) {
  if (g_getenv("WEBKIT_WEB_RENDER_DEVICE_FILE") != NULL) return;
  GDir *dir = g_dir_open("/dev/dri", 0, NULL);
  long first = -1;
  const char *name;
  while (dir != NULL && (name = g_dir_read_name(dir)) != NULL) {
    char *end = NULL;
    long number = strncmp(name, "renderD", 7) == 0 && name[7] != '\0' ? strtol(name + 7, &end, 10) : -1;
    if (number >= 0 && *end == '\0' && (first < 0 || number < first)) first = number;
  }
  if (dir != NULL) g_dir_close(dir);
  char path[64] = "/dev/dri/none";
  if (first >= 0) snprintf(path, sizeof path, "/dev/dri/renderD%ld", first);
  g_setenv("WEBKIT_WEB_RENDER_DEVICE_FILE", path, TRUE);
}

int main(void) {
  g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE);
  name_render_node();
  gtk_init(NULL, NULL);
  GMainLoop *loop = g_main_loop_new(NULL, FALSE);
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 1000, 400);
  GtkWidget *fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), fixed);
  GtkWidget *view = webkit_web_view_new();
  gtk_widget_set_size_request(view, 1000, 400);
  gtk_fixed_put(GTK_FIXED(fixed), view, 0, 0);
  g_signal_connect(view, "notify::title", G_CALLBACK(on_title), loop);
  webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), kPage, "http://localhost/");
  gtk_widget_show_all(window);
  g_timeout_add_seconds(30, on_timeout, loop);
  g_main_loop_run(loop);
  return 0;
}
