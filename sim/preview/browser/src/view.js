// The 3D view: renderer, lights, an orbit camera framed on the model. Draws only when something
// changed, so a paused page costs nothing.
import {
  Box3, Color, DirectionalLight, GridHelper, HemisphereLight, PerspectiveCamera, Scene, Vector3, WebGLRenderer,
} from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

export function createView(container, model) {
  const renderer = new WebGLRenderer({ antialias: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  container.append(renderer.domElement);

  const scene = new Scene();
  scene.background = new Color(0x111729);
  scene.add(new HemisphereLight(0xdde6ff, 0x30281e, 1.6));
  const sun = new DirectionalLight(0xffffff, 2.2);
  sun.position.set(3, 5, 2);
  scene.add(sun, model.root);

  const bounds = new Box3().setFromObject(model.root);
  const size = bounds.isEmpty() ? 1 : bounds.getSize(new Vector3()).length();
  const centre = bounds.isEmpty() ? new Vector3() : bounds.getCenter(new Vector3());
  const grid = new GridHelper(size * 2, 20, 0x3a4668, 0x26304a);
  grid.position.set(centre.x, bounds.isEmpty() ? 0 : bounds.min.y, centre.z);
  scene.add(grid);

  const camera = new PerspectiveCamera(40, 1, size / 1000, size * 100);
  // From above the rear right, where a vehicle's controls and instruments face: a vehicle made Z-up
  // facing +Y faces -Z here.
  camera.position.copy(centre).add(new Vector3(0.7, 0.45, 0.65).multiplyScalar(size));
  const controls = new OrbitControls(camera, renderer.domElement);
  controls.target.copy(centre);
  controls.update();

  let pending = false;
  function requestRender() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => {
      pending = false;
      renderer.render(scene, camera);
    });
  }
  controls.addEventListener('change', requestRender);

  new ResizeObserver(() => {
    const { clientWidth: width, clientHeight: height } = container;
    if (width === 0 || height === 0) return;
    renderer.setSize(width, height);
    camera.aspect = width / height;
    camera.updateProjectionMatrix();
    requestRender();
  }).observe(container);

  return {
    requestRender,
    cameraState: () => ({ position: camera.position.toArray(), target: controls.target.toArray() }),
    setCameraState({ position, target }) {
      camera.position.fromArray(position);
      controls.target.fromArray(target);
      controls.update();
      requestRender();
    },
  };
}
